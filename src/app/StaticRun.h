#pragma once

#include <string>

#include "engine/ProgressReport.h"
#include "engine/Simulation.h"

// The nine texts of the parameter panel, as typed; the defaults are the panel's own.
struct ParameterTexts {
    std::string Thickness = "1000";
    std::string DielectricConstant = "100";
    std::string MaxRemanentPolarization = "10";
    std::string MaxCoerciveField = "100";
    std::string ConductionType = "p-type";
    std::string DensityOfDopants = "5E18";
    std::string ElectrodeArea = "1";
    std::string LeftBuiltInVoltage = "1";
    std::string AppliedVoltage = "0";
};

enum class PlotChart { Voltage, RemanentPolarization };

// Where a static run shows its effects. The main window binds these to its widgets, the
// command-line tool to its output, tests to recorders.
class StaticRunOutlets {
public:
    virtual ~StaticRunOutlets() = default;
    // Shows one message; returns when the user has read it.
    virtual void ReportError(const std::string& message) = 0;
    virtual void SetConditionLabels(const std::string& incrementOfDistance,
                                    const std::string& maxIncrementOfVoltage,
                                    const std::string& maxIncrementOfRemanentPolarization) = 0;
    virtual void EnterBusy() = 0;
    virtual void LeaveBusy() = 0;
    virtual void ClearPlot(PlotChart chart) = 0;
    virtual void AddPoint(PlotChart chart, double x, double y) = 0;
};

// Converts and checks the texts in the program's order, storing each value in the model as soon
// as it passes, derives the solver's step limits, solves and replaces both curves. A rejected
// value is reported through the outlet and ends the run (returns false); a text that is not a
// number ends it with ConversionError, and a model the solver cannot handle with SolverError.
// Returns true when the curves were replaced. The busy state is left on every way out.
bool RunStaticCharacteristics(Simulation& model, const ParameterTexts& texts,
                              StaticRunOutlets& outlets, ProgressReport& progress);
