#include "engine/Simulation.h"

#include <cmath>

#include "platform/NumberText.h"

Simulation C;

namespace {

// Decimal factors enter as the double nearest to them, widened: 1e-9 x 1e9 is not exactly 1.
constexpr long double kNano = static_cast<long double>(1e-9);
constexpr long double kMicro = static_cast<long double>(1e-6);
constexpr long double kCenti = static_cast<long double>(0.01);

}  // namespace

void Simulation::SetConductionType(const std::string& text) {
    ConductionType = text;
}

void Simulation::SetDensityOfDopants(long double perCubicCentimetre) {
    DensityOfDopants = (IsPType() ? -perCubicCentimetre : perCubicCentimetre) * 1000000.0L;
}

void Simulation::SetThickness(long double nm) {
    Thickness = nm * kNano;
}

void Simulation::SetDielectricConstant(long double relative) {
    DielectricConstant = relative;
    Permittivity = DielectricConstant * static_cast<long double>(VacuumPermittivity);
}

void Simulation::SetMaxRemanentPolarization(long double microCPerSquareCentimetre) {
    MaxRemanentPolarization = microCPerSquareCentimetre * kCenti;
}

void Simulation::SetMaxCoerciveField(long double kVPerCentimetre) {
    MaxCoerciveField = kVPerCentimetre * 100000.0L;
}

void Simulation::SetElectrodeArea(long double squareMillimetre) {
    ElectrodeArea = squareMillimetre * kMicro;
}

void Simulation::SetBuiltInPotential(long double volt) {
    BuiltInPotential = volt;
}

void Simulation::SetRightSideVoltage(long double volt) {
    RightSideVoltage = volt;
}

void Simulation::SetAppliedVoltage(long double volt) {
    AppliedVoltage = volt;
}

void Simulation::SetIncrementOfDistance(long double nm) {
    IncrementOfDistance = nm * kNano;
}

long double Simulation::GetIncrementOfDistance() const {
    return IncrementOfDistance * 1e9L;
}

void Simulation::SetMaxIncrementOfRemanentPolarization(long double microCPerSquareCentimetre) {
    MaxIncrementOfRemanentPolarization = microCPerSquareCentimetre * kCenti;
}

long double Simulation::GetMaxIncrementOfRemanentPolarization() const {
    return MaxIncrementOfRemanentPolarization * 100.0L;
}

void Simulation::SetMaxIncrementOfVoltage(long double volt) {
    MaxIncrementOfVoltage = volt;
}

long double Simulation::GetMaxIncrementOfVoltage() const {
    return MaxIncrementOfVoltage;
}

void Simulation::SetMeasurementTemperature(long double kelvin) {
    MeasurementTemperature = kelvin;
    InverseThermalVoltage =
        (static_cast<long double>(ElementaryCharge) / static_cast<long double>(BoltzmannConstant)) /
        kelvin;
}

void Simulation::SetRepeatOfCalculation(std::int32_t repeat) {
    RepeatOfCalculation = repeat;
}

std::int32_t Simulation::GetRepeatOfCalculation() const {
    return RepeatOfCalculation;
}

std::int32_t Simulation::GetNumberOfPoints() const {
    return NumberOfPoints;
}

void Simulation::SetIncrementOfAppliedVoltage(long double volt) {
    IncrementOfAppliedVoltage = volt;
}

Profile Simulation::GetVoltageProfile() const {
    return Voltage;
}

Profile Simulation::GetDistanceProfileInNm() const {
    Profile nm(Distance.size());
    for (std::size_t i = 0; i < Distance.size(); ++i) {
        nm[i] = Distance[i] * 1e9L;
    }
    return nm;
}

Profile Simulation::GetRemanentPolarizationProfileInMicroC() const {
    Profile microC(RemanentPolarization.size());
    for (std::size_t i = 0; i < RemanentPolarization.size(); ++i) {
        microC[i] = RemanentPolarization[i] * 100.0L;
    }
    return microC;
}

void Simulation::InitializeProfiles() {
    // The extended quotient can fall one unit of the last place short of a whole number; rounding
    // it to double first is what makes 1 nm / 0.001 nm come out as 1000 points, not 999.
    const double quotient = static_cast<double>(Thickness / IncrementOfDistance);
    if (!(quotient >= 2.0) || quotient >= 2147483648.0) {
        throw SolverError(
            "The layer cannot be meshed: the thickness divided by the increment of "
            "distance is " +
            FloatToStr(quotient) + ", but it must lie between 2 and 2147483647.");
    }
    NumberOfPoints = static_cast<std::int32_t>(quotient);  // truncation toward zero
    const std::size_t n = static_cast<std::size_t>(NumberOfPoints);

    Voltage.assign(n, 0.0L);
    Voltage[0] =
        IsPType() ? BuiltInPotential + AppliedVoltage : -(BuiltInPotential + AppliedVoltage);
    Voltage[n - 1] = RightSideVoltage;
    // The divisor is the number of points, so the line stops one step short of the right side.
    const long double step = (Voltage[n - 1] - Voltage[0]) / static_cast<long double>(n);
    RemanentPolarization.assign(n, 0.0L);
    CoerciveField.assign(n, 0.0L);
    Field.assign(n, 0.0L);
    Distance.assign(n, 0.0L);
    for (std::size_t i = 1; i < n; ++i) {
        Voltage[i] = Voltage[0] + static_cast<long double>(i) * step;
    }
    for (std::size_t i = 0; i < n; ++i) {
        Distance[i] = static_cast<long double>(i) * IncrementOfDistance;
    }
}

long double Simulation::SweepBudget() const {
    const long double magnitude = std::fabs(static_cast<double>(Voltage[0]));
    return ((magnitude - 1.0L) * 1.0L + 10.0L) * static_cast<long double>(RepeatOfCalculation);
}

void Simulation::CalculateBandBending() {
    SilentProgress silent;
    CalculateBandBending(silent);
}
