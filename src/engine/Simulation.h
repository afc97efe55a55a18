#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ProgressReport.h"

// One value per mesh point, index 0 at x = 0 (the Schottky contact).
using Profile = std::vector<long double>;

// Held as doubles on purpose: the model widens these exact double values into its extended
// arithmetic, and the results depend on that.
inline constexpr double ElementaryCharge = 1.6021e-19;    // C
inline constexpr double BoltzmannConstant = 1.38054e-23;  // J/K
inline constexpr double VacuumPermittivity = 8.854e-12;   // F/m

// Raised when the model cannot be solved at all: a mesh that cannot be laid, a division by zero,
// a sweep budget no counter can hold. The message says what to change.
class SolverError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A ferroelectric layer with no coercive field would divide by zero in the polarization update.
inline constexpr const char* kZeroCoerciveFieldMessage =
    "The Maximum of the coercive field should be positive when the maximum remanent polarization "
    "is above 0.";

// Raised when a band-bending file cannot be written, or when there is nothing solved to write.
class SaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The model of one Schottky barrier diode on a (ferroelectric) semiconductor layer. Setters take
// the units the user sees and store SI units; they validate nothing, their callers do. All
// arithmetic is 80-bit extended, in the order written: results depend on it.
class Simulation {
public:
    Profile Voltage;                   // V
    Profile RemanentPolarization;      // C/m^2
    Profile CoerciveField;             // V/m, Field limited to +-MaxCoerciveField
    Profile Field;                     // V/m, forward difference (V[i+1] - V[i]) / dx
    Profile Distance;                  // m
    long double DensityOfDopants = 0;  // m^-3, negative for p-type
    long double Thickness = 0;         // m
    long double DielectricConstant = 0;
    long double MaxRemanentPolarization = 0;             // C/m^2, 0 for an ordinary semiconductor
    long double MaxCoerciveField = 0;                    // V/m
    long double ElectrodeArea = 0;                       // m^2
    long double BuiltInPotential = 0;                    // V
    long double RightSideVoltage = 0;                    // V
    long double AppliedVoltage = 0;                      // V
    long double IncrementOfDistance = 0;                 // m
    long double MaxIncrementOfRemanentPolarization = 0;  // C/m^2 per sweep
    long double MaxIncrementOfVoltage = 0;               // V per sweep
    long double MeasurementTemperature = 0;              // K
    long double Permittivity = 0;                        // F/m
    long double InverseThermalVoltage = 0;               // 1/V
    std::int32_t NumberOfPoints = 0;
    std::int32_t RepeatOfCalculation = 0;
    std::string ConductionType;
    long double IncrementOfAppliedVoltage = 0;  // V
    std::string FileName;

    void SetConductionType(const std::string& text);
    void SetDensityOfDopants(long double perCubicCentimetre);
    void SetThickness(long double nm);
    void SetDielectricConstant(long double relative);
    void SetMaxRemanentPolarization(long double microCPerSquareCentimetre);
    void SetMaxCoerciveField(long double kVPerCentimetre);
    void SetElectrodeArea(long double squareMillimetre);
    void SetBuiltInPotential(long double volt);
    void SetRightSideVoltage(long double volt);
    void SetAppliedVoltage(long double volt);
    void SetIncrementOfDistance(long double nm);
    long double GetIncrementOfDistance() const;
    void SetMaxIncrementOfRemanentPolarization(long double microCPerSquareCentimetre);
    long double GetMaxIncrementOfRemanentPolarization() const;
    void SetMaxIncrementOfVoltage(long double volt);
    long double GetMaxIncrementOfVoltage() const;
    void SetMeasurementTemperature(long double kelvin);
    void SetRepeatOfCalculation(std::int32_t repeat);
    std::int32_t GetRepeatOfCalculation() const;
    std::int32_t GetNumberOfPoints() const;
    void SetIncrementOfAppliedVoltage(long double volt);
    Profile GetVoltageProfile() const;
    Profile GetDistanceProfileInNm() const;
    Profile GetRemanentPolarizationProfileInMicroC() const;

    bool IsPType() const { return ConductionType == "p-type"; }
    bool IsFerroelectric() const { return MaxRemanentPolarization > 0; }

    // Lays the mesh and the straight-line start profile. Throws SolverError when the thickness and
    // spacing give fewer than two points or more than a 32-bit count.
    void InitializeProfiles();

    // The number of sweeps the solver may perform for the current start profile, as the extended
    // real it compares its counter against.
    long double SweepBudget() const;

    // Relaxes potential and polarization until converged or out of sweeps. Throws SolverError
    // before the first sweep when the inputs would divide by zero or the budget cannot be counted;
    // the progress report is closed on every way out.
    void CalculateBandBending();
    void CalculateBandBending(ProgressReport& progress);

    // Writes the band-bending file to FileName, replacing it only once the whole text is on disk.
    // Throws SaveError, naming the file, when it cannot be written or nothing has been solved.
    void SaveBandBending() const;
};

// The program's one model.
extern Simulation C;
