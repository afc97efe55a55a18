#include "results/BandBendingFile.h"

#include <cmath>

#include "app/Version.h"
#include "platform/FileReplace.h"
#include "platform/NumberText.h"

namespace {

constexpr const char* kLineEnd = "\r\n";

// Header values: the product is formed in extended precision, then rounded to double.
std::string HeaderValue(long double value) {
    return FloatToStr(static_cast<double>(value));
}

std::string RowValue(long double value) {
    return StreamReal(static_cast<double>(value));
}

void AppendLine(std::string& text, std::string_view line) {
    text += line;
    text += kLineEnd;
}

}  // namespace

std::string BandBendingText(const Simulation& model) {
    const std::size_t n = model.Voltage.size();
    if (n == 0 || model.Distance.size() < n || model.Field.size() < n ||
        model.RemanentPolarization.size() < n || model.CoerciveField.size() < n) {
        throw SaveError("There is no solved band bending to save in " + model.FileName +
                        "; run the simulation first");
    }
    const long double kilo = static_cast<long double>(1e-5);  // V/m to kV/cm
    const long double perCubicCentimetre = static_cast<long double>(1e-6);
    const bool ferroelectric = model.IsFerroelectric();

    std::string text;
    text.reserve(256 + n * (ferroelectric ? 96 : 56));
    AppendLine(text, ferroelectric ? "% Simulation of Band Bending in Schottky Barrier Diode using "
                                     "Ferroelectric Semiconductor"
                                   : "% Simulation of Band Bending in Schottky Barrier Diode using "
                                     "Semiconductor");
    AppendLine(text, std::string("% Version Information: ") + VersionNumber);
    AppendLine(text, "% File name: " + model.FileName);
    AppendLine(text, ferroelectric ? "% Conditions of Ferroelectric Semiconductor"
                                   : "% Conditions of Semiconductor");
    AppendLine(text, "% Thickness [nm]: " + HeaderValue(model.Thickness * 1e9L));
    AppendLine(text, "% Dielectric Constant: " + HeaderValue(model.DielectricConstant * 1.0L));
    if (ferroelectric) {
        AppendLine(text, "% Maximum Remanent Polarization [microC/cm^2]: " +
                             HeaderValue(model.MaxRemanentPolarization * 100.0L));
        AppendLine(text, "% Maximum Coercive Field [kV/cm]: " +
                             HeaderValue(model.MaxCoerciveField * kilo));
    }
    AppendLine(text, "% Conduction Type: " + model.ConductionType);
    AppendLine(text, "% Density of Dopants [cm^-3]: " +
                         HeaderValue(std::fabs(model.DensityOfDopants) * perCubicCentimetre));
    AppendLine(text, "% Conditions of Schottky Barrier Diode");
    AppendLine(text, "% Electrode Area [mm^2]: " + HeaderValue(model.ElectrodeArea * 1e6L));
    AppendLine(text, "% Built-in Potential [V]: " + HeaderValue(model.BuiltInPotential * 1.0L));
    AppendLine(text, "% Reverse Bias Voltage [V]: " + HeaderValue(model.AppliedVoltage * 1.0L));
    AppendLine(text, "% Temperature [A]: " + HeaderValue(model.MeasurementTemperature * 1.0L));
    AppendLine(text, ferroelectric ? "% Distance [nm]  Voltage [V]  Field [kV/cm]  Remanent "
                                     "Polarization [microC/cm^2]  CoerciveField [kV/cm]   "
                                   : "% Distance [nm]  Voltage [V]  Field [kV/cm]   ");

    const std::string after1(17, ' ');
    const std::string after2(15, ' ');
    const std::string after3(15, ' ');
    const std::string after4(14, ' ');
    // The last mesh point gets no row.
    for (std::size_t i = 0; i + 1 < n; ++i) {
        text += RowValue(model.Distance[i] * 1e9L);
        text += after1;
        text += RowValue(model.Voltage[i] * 1.0L);
        text += after2;
        text += RowValue(model.Field[i] * kilo);
        if (ferroelectric) {
            text += after3;
            text += RowValue(model.RemanentPolarization[i] * 100.0L);
            text += after4;
            text += RowValue(model.CoerciveField[i] * kilo);
        }
        text += kLineEnd;
    }
    return text;
}

void Simulation::SaveBandBending() const {
    const std::string text = BandBendingText(*this);
    try {
        ReplaceFileContents(FileName, text);
    } catch (const FileError& error) {
        throw SaveError(error.what());
    }
}
