#include "results/Conditions.h"

#include "platform/NumberText.h"

void StoreStartupConditions(Simulation& model) {
    model.SetIncrementOfDistance(1);
    model.SetMeasurementTemperature(300);
    model.SetRepeatOfCalculation(kMinimumRepeatOfCalculation);
    model.SetIncrementOfAppliedVoltage(0.01);
}

std::int32_t FlooredRepeatOfCalculation(std::string_view text) {
    const std::int32_t repeat = StrToInt(text);
    return repeat < kMinimumRepeatOfCalculation ? kMinimumRepeatOfCalculation : repeat;
}
