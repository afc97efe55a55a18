// bandbending-cli: the static run for scripts and batch work. Each option takes the text a user
// would type into the parameter panel, so the same conversions, checks and messages apply.

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cinttypes>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "app/StaticRun.h"
#include "cli/TerminalProgress.h"
#include "engine/Simulation.h"
#include "platform/NumberText.h"
#include "results/Conditions.h"

namespace {

class CommandLineOutlets final : public StaticRunOutlets {
public:
    void ReportError(const std::string& message) override {
        std::fprintf(stderr, "%s\n", WithFullStop(message).c_str());
    }
    void SetConditionLabels(const std::string& incrementOfDistance,
                            const std::string& maxIncrementOfVoltage,
                            const std::string& maxIncrementOfRemanentPolarization) override {
        incrementOfDistance_ = incrementOfDistance;
        maxIncrementOfVoltage_ = maxIncrementOfVoltage;
        maxIncrementOfRemanentPolarization_ = maxIncrementOfRemanentPolarization;
    }
    void EnterBusy() override {}
    void LeaveBusy() override {}
    void ClearPlot(PlotChart) override {}
    void AddPoint(PlotChart, double, double) override {}

    void PrintConditions() const {
        std::printf("Increment of Distance  [nm]: %s\n", incrementOfDistance_.c_str());
        std::printf("Maximum increment of Voltage  [V]: %s\n", maxIncrementOfVoltage_.c_str());
        std::printf("Maximum increment of Remanent polarization  [microC/cm^2]: %s\n",
                    maxIncrementOfRemanentPolarization_.c_str());
    }

private:
    std::string incrementOfDistance_;
    std::string maxIncrementOfVoltage_;
    std::string maxIncrementOfRemanentPolarization_;
};

int Run(const ParameterTexts& texts, const std::string& temperatureText,
        const std::string& repeatText, const std::string& output) {
    Simulation& model = C;
    StoreStartupConditions(model);

    model.SetRepeatOfCalculation(FlooredRepeatOfCalculation(repeatText));
    const long double temperature = StrToFloat(temperatureText);
    if (!(temperature > 0)) {
        std::fprintf(stderr, "%s\n", kTemperatureNotPositiveMessage);
        return 1;
    }
    model.SetMeasurementTemperature(temperature);

    CommandLineOutlets outlets;
    TerminalProgress progress(stderr, isatty(STDERR_FILENO) == 1);
    if (!RunStaticCharacteristics(model, texts, outlets, progress)) {
        return 1;
    }
    outlets.PrintConditions();
    std::printf("Mesh points: %d\n", model.GetNumberOfPoints());
    std::printf("Sweeps: %" PRId64 "\n", progress.Sweeps());

    if (!output.empty()) {
        // The file records where it was written; a path typed relative to the working directory
        // would not say so once the file is moved or read elsewhere.
        model.FileName = ChangeFileExt(std::filesystem::absolute(output).string(), ".BB");
        model.SaveBandBending();
        std::printf("Written: %s\n", model.FileName.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Static band bending of a Schottky barrier diode on a (ferroelectric) semiconductor "
        "layer.\nValues are typed as in the parameter panel; a value left out takes the panel's "
        "default.",
        "bandbending-cli"};
    ParameterTexts texts;
    std::string temperature = "300";
    std::string repeat = "10000";
    std::string output;

    const auto text = [&app](const char* name, std::string& value, const char* description) {
        app.add_option(name, value, description)->capture_default_str()->allow_extra_args(false);
    };
    text("--thickness", texts.Thickness, "Thickness [nm]");
    text("--dielectric-constant", texts.DielectricConstant, "Dielectric Constant");
    text("--max-remanent-polarization", texts.MaxRemanentPolarization,
         "Maximum Remanent Polarization [microC/cm^2] (0 for an ordinary semiconductor)");
    text("--max-coercive-field", texts.MaxCoerciveField, "Maximum Coercive Field [kV/cm]");
    text("--conduction-type", texts.ConductionType,
         "Conduction Type: p-type, anything else counts as n-type");
    text("--density-of-dopants", texts.DensityOfDopants, "Density of Dopants [cm^-3]");
    text("--electrode-area", texts.ElectrodeArea, "Electrode Area [mm^2]");
    text("--built-in-potential", texts.LeftBuiltInVoltage, "Built-in Potential [V]");
    text("--reverse-bias", texts.AppliedVoltage, "Reverse Bias Voltage [V]");
    text("--temperature", temperature, "Measurement temperature [K]");
    text("--repeat", repeat, "Repeat of calculation (at least 10000; smaller counts become 10000)");
    app.add_option("-o,--output", output,
                   "Write the band-bending file here; the extension becomes .BB");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }

    try {
        return Run(texts, temperature, repeat, output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", WithFullStop(error.what()).c_str());
        return 1;
    }
}
