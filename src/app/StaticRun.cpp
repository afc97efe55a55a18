#include "app/StaticRun.h"

#include <cmath>
#include <cstddef>

#include "platform/NumberText.h"

namespace {

// Leaves the busy state however the solve ends, so a failed solve never leaves the run button
// disabled.
class BusyScope {
public:
    explicit BusyScope(StaticRunOutlets& outlets) : outlets_(outlets) { outlets_.EnterBusy(); }
    ~BusyScope() { outlets_.LeaveBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    StaticRunOutlets& outlets_;
};

}  // namespace

bool RunStaticCharacteristics(Simulation& model, const ParameterTexts& texts,
                              StaticRunOutlets& outlets, ProgressReport& progress) {
    const auto reject = [&outlets](const char* message) {
        outlets.ReportError(message);
        return false;
    };

    const long double thickness = StrToFloat(texts.Thickness);
    if (thickness <= 0) {
        return reject("The thickness should be positive.");
    }
    model.SetThickness(thickness);

    const long double polarization = StrToFloat(texts.MaxRemanentPolarization);
    if (polarization < 0) {
        return reject("The Maximum of the remanent polarization should be positive or 0.");
    }
    model.SetMaxRemanentPolarization(polarization);

    const long double incrementOfDistance = thickness * 0.001L;
    model.SetIncrementOfDistance(incrementOfDistance);
    const long double polarizationStep =
        (polarization * 10.0L) / static_cast<long double>(model.GetRepeatOfCalculation());
    model.SetMaxIncrementOfRemanentPolarization(polarizationStep);

    const long double builtIn = StrToFloat(texts.LeftBuiltInVoltage);
    const long double applied = StrToFloat(texts.AppliedVoltage);
    const double voltageSpan =
        std::fabs(static_cast<double>(builtIn)) + std::fabs(static_cast<double>(applied));
    const long double voltageStep = static_cast<long double>(voltageSpan) * 10.0L /
                                    static_cast<long double>(model.GetRepeatOfCalculation());
    model.SetMaxIncrementOfVoltage(voltageStep);

    outlets.SetConditionLabels(FloatToStr(static_cast<double>(incrementOfDistance)),
                               FloatToStr(static_cast<double>(voltageStep)),
                               FloatToStr(static_cast<double>(polarizationStep)));

    const long double dielectricConstant = StrToFloat(texts.DielectricConstant);
    if (dielectricConstant <= 0) {
        return reject("The dielectric constant should be positive.");
    }
    model.SetDielectricConstant(dielectricConstant);

    const long double coerciveField = StrToFloat(texts.MaxCoerciveField);
    if (coerciveField < 0) {
        return reject("The Maximum of the coercive field should be positive or 0.");
    }
    // A ferroelectric layer divides by its coercive field: refuse 0 here, with the other checks,
    // rather than let the solve fail.
    if (coerciveField == 0 && polarization > 0) {
        return reject(kZeroCoerciveFieldMessage);
    }
    model.SetMaxCoerciveField(coerciveField);

    // The dopant sign follows the conduction type, so the type is stored first.
    model.SetConductionType(texts.ConductionType);
    const long double dopants = StrToFloat(texts.DensityOfDopants);
    if (dopants <= 0) {
        return reject("The density of dopants should be positive.");
    }
    model.SetDensityOfDopants(dopants);

    const long double area = StrToFloat(texts.ElectrodeArea);
    if (area <= 0) {
        return reject("The electrode area should be positive.");
    }
    model.SetElectrodeArea(area);

    if (builtIn <= 0) {
        return reject("Built-in voltage at left side must be positive.");
    }
    if (applied <= -builtIn) {
        return reject("Applied voltage must be higher.");
    }
    model.SetBuiltInPotential(builtIn);
    model.SetRightSideVoltage(0);
    model.SetAppliedVoltage(applied);

    {
        BusyScope busy(outlets);
        model.CalculateBandBending(progress);
    }

    const std::size_t n = static_cast<std::size_t>(model.GetNumberOfPoints());
    const Profile distance = model.GetDistanceProfileInNm();
    const Profile potential = model.GetVoltageProfile();
    const Profile polarizationProfile = model.GetRemanentPolarizationProfileInMicroC();
    outlets.ClearPlot(PlotChart::Voltage);
    outlets.ClearPlot(PlotChart::RemanentPolarization);
    for (std::size_t i = 0; i < n; ++i) {
        outlets.AddPoint(PlotChart::Voltage, static_cast<double>(distance[i]),
                         static_cast<double>(potential[i]));
    }
    for (std::size_t i = 0; i < n; ++i) {
        outlets.AddPoint(PlotChart::RemanentPolarization, static_cast<double>(distance[i]),
                         static_cast<double>(polarizationProfile[i]));
    }
    return true;
}
