#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/StaticRun.h"
#include "platform/NumberText.h"
#include "results/Conditions.h"

namespace {

class RecordingOutlets : public StaticRunOutlets {
public:
    void ReportError(const std::string& message) override { errors.push_back(message); }
    void SetConditionLabels(const std::string& a, const std::string& b,
                            const std::string& c) override {
        labels.push_back({a, b, c});
    }
    void EnterBusy() override { busy += "enter "; }
    void LeaveBusy() override { busy += "leave"; }
    void ClearPlot(PlotChart chart) override {
        ++plotCalls;
        points[Index(chart)].clear();
        order += Index(chart) == 0 ? "clearV " : "clearP ";
    }
    void AddPoint(PlotChart chart, double x, double y) override {
        ++plotCalls;
        if (points[Index(chart)].empty()) {
            order += Index(chart) == 0 ? "addV " : "addP ";
        }
        points[Index(chart)].push_back({x, y});
    }

    static std::size_t Index(PlotChart chart) { return chart == PlotChart::Voltage ? 0 : 1; }

    std::vector<std::string> errors;
    std::vector<std::array<std::string, 3>> labels;
    std::string busy;
    std::string order;
    int plotCalls = 0;
    std::array<std::vector<std::pair<double, double>>, 2> points;
};

Simulation StartedModel(std::int32_t repeat = 10000) {
    Simulation model;
    StoreStartupConditions(model);
    model.SetRepeatOfCalculation(repeat);
    return model;
}

// One default run shared by the tests that look at its results: it takes the whole budget.
class DefaultRun : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        model = new Simulation(StartedModel());
        outlets = new RecordingOutlets;
        SilentProgress progress;
        completed = RunStaticCharacteristics(*model, ParameterTexts{}, *outlets, progress);
    }
    static void TearDownTestSuite() {
        delete model;
        delete outlets;
    }
    static Simulation* model;
    static RecordingOutlets* outlets;
    static bool completed;
};
Simulation* DefaultRun::model = nullptr;
RecordingOutlets* DefaultRun::outlets = nullptr;
bool DefaultRun::completed = false;

TEST_F(DefaultRun, PassesEveryCheckAndSetsTheConditionLabels) {
    EXPECT_TRUE(completed);
    EXPECT_TRUE(outlets->errors.empty());
    ASSERT_EQ(outlets->labels.size(), 1u);
    EXPECT_EQ(outlets->labels[0], (std::array<std::string, 3>{"1", "0.001", "0.01"}));
    EXPECT_EQ(outlets->busy, "enter leave");
}

TEST_F(DefaultRun, StoresTheParametersInSIUnits) {
    EXPECT_NEAR(static_cast<double>(model->GetIncrementOfDistance()), 1.0, 1e-15);
    EXPECT_EQ(model->GetMaxIncrementOfVoltage(), 10.0L / 10000.0L);
    EXPECT_NEAR(static_cast<double>(model->MaxIncrementOfRemanentPolarization), 1e-4, 1e-19);
    EXPECT_EQ(model->DensityOfDopants, -5e18L * 1000000.0L);
    EXPECT_EQ(model->ConductionType, "p-type");
    EXPECT_EQ(model->DielectricConstant, 100.0L);
    EXPECT_EQ(model->MaxCoerciveField, 1e7L);
    EXPECT_EQ(model->BuiltInPotential, 1.0L);
    EXPECT_EQ(model->AppliedVoltage, 0.0L);
    EXPECT_EQ(model->RightSideVoltage, 0.0L);
    EXPECT_EQ(model->GetNumberOfPoints(), 1000);
}

TEST_F(DefaultRun, PlotsEveryMeshPointInDisplayUnits) {
    EXPECT_EQ(outlets->order, "clearV clearP addV addP ");
    const auto& voltage = outlets->points[0];
    const auto& polarization = outlets->points[1];
    ASSERT_EQ(voltage.size(), 1000u);
    ASSERT_EQ(polarization.size(), 1000u);
    for (std::size_t i = 0; i < 1000; ++i) {
        EXPECT_NEAR(voltage[i].first, static_cast<double>(i), 1e-9);
        EXPECT_EQ(voltage[i].first, polarization[i].first);
        EXPECT_EQ(voltage[i].second, static_cast<double>(model->Voltage[i]));
        EXPECT_EQ(polarization[i].second,
                  static_cast<double>(model->RemanentPolarization[i] * 100.0L));
    }
    EXPECT_EQ(voltage.front().first, 0.0);
    EXPECT_EQ(voltage.front().second, 1.0);
    EXPECT_LE(std::fabs(polarization[500].second), 10.0);
}

// How far a run got, read off the model: the number of stages stored, in the run's order.
int StoredStages(const Simulation& m) {
    const bool stages[] = {
        m.Thickness != 0,
        m.MaxIncrementOfRemanentPolarization != 0,  // with MaxRemanentPolarization and spacing
        m.MaxIncrementOfVoltage != 0,
        m.DielectricConstant != 0 && m.Permittivity != 0,
        m.MaxCoerciveField != 0 && !m.ConductionType.empty(),
        m.DensityOfDopants != 0,
        m.ElectrodeArea != 0,
        m.BuiltInPotential != 0,
    };
    int count = 0;
    while (count < 8 && stages[count]) {
        ++count;
    }
    for (int later = count; later < 8; ++later) {
        EXPECT_FALSE(stages[later]) << "stage " << later << " stored out of order";
    }
    return count;
}

struct Rejection {
    const char* name;
    void (*edit)(ParameterTexts&);
    const char* message;
    int stages;  // stored before the run ended
    bool labels;
};

class StaticRunRejects : public ::testing::TestWithParam<Rejection> {};

void PrintTo(const Rejection& rejection, std::ostream* os) {
    *os << rejection.name;
}

TEST_P(StaticRunRejects, WithItsMessageKeepingWhatWasStored) {
    const Rejection& r = GetParam();
    ParameterTexts texts;
    texts.Thickness = "500";  // so that the stored spacing differs from the start-up one
    r.edit(texts);
    Simulation model = StartedModel();
    RecordingOutlets outlets;
    SilentProgress progress;
    EXPECT_FALSE(RunStaticCharacteristics(model, texts, outlets, progress));
    ASSERT_EQ(outlets.errors.size(), 1u);
    EXPECT_EQ(outlets.errors[0], r.message);
    EXPECT_EQ(StoredStages(model), r.stages);
    EXPECT_EQ(outlets.labels.size(), r.labels ? 1u : 0u);
    EXPECT_EQ(model.GetIncrementOfDistance() != StartedModel().GetIncrementOfDistance(),
              r.stages >= 2);
    EXPECT_EQ(outlets.busy, "");
    EXPECT_EQ(outlets.plotCalls, 0) << "the previous curves stay in place";
    EXPECT_TRUE(model.Voltage.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Checks, StaticRunRejects,
    ::testing::Values(
        Rejection{"thickness_0", [](ParameterTexts& in) { in.Thickness = "0"; },
                  "The thickness should be positive.", 0, false},
        Rejection{"thickness_negative", [](ParameterTexts& in) { in.Thickness = "-1"; },
                  "The thickness should be positive.", 0, false},
        Rejection{"polarization_negative",
                  [](ParameterTexts& in) { in.MaxRemanentPolarization = "-0.1"; },
                  "The Maximum of the remanent polarization should be positive or 0.", 1, false},
        Rejection{"dielectric_0", [](ParameterTexts& in) { in.DielectricConstant = "0"; },
                  "The dielectric constant should be positive.", 3, true},
        Rejection{"dielectric_negative", [](ParameterTexts& in) { in.DielectricConstant = "-5"; },
                  "The dielectric constant should be positive.", 3, true},
        Rejection{"dielectric_before_built_in",
                  [](ParameterTexts& in) {
                      in.DielectricConstant = "0";
                      in.LeftBuiltInVoltage = "0";
                      in.AppliedVoltage = "0.5";
                  },
                  "The dielectric constant should be positive.", 3, true},
        Rejection{"coercive_negative", [](ParameterTexts& in) { in.MaxCoerciveField = "-1"; },
                  "The Maximum of the coercive field should be positive or 0.", 4, true},
        Rejection{"coercive_0_in_a_ferroelectric",
                  [](ParameterTexts& in) { in.MaxCoerciveField = "0"; },
                  "The Maximum of the coercive field should be positive when the maximum "
                  "remanent polarization is above 0.",
                  4, true},
        Rejection{"dopants_0", [](ParameterTexts& in) { in.DensityOfDopants = "0"; },
                  "The density of dopants should be positive.", 5, true},
        Rejection{"dopants_negative", [](ParameterTexts& in) { in.DensityOfDopants = "-5E18"; },
                  "The density of dopants should be positive.", 5, true},
        Rejection{"area_0", [](ParameterTexts& in) { in.ElectrodeArea = "0"; },
                  "The electrode area should be positive.", 6, true},
        Rejection{"built_in_0",
                  [](ParameterTexts& in) {
                      in.LeftBuiltInVoltage = "0";
                      in.AppliedVoltage = "0.5";
                  },
                  "Built-in voltage at left side must be positive.", 7, true},
        Rejection{"built_in_negative", [](ParameterTexts& in) { in.LeftBuiltInVoltage = "-1"; },
                  "Built-in voltage at left side must be positive.", 7, true},
        Rejection{"applied_minus_built_in", [](ParameterTexts& in) { in.AppliedVoltage = "-1"; },
                  "Applied voltage must be higher.", 7, true},
        Rejection{"applied_below", [](ParameterTexts& in) { in.AppliedVoltage = "-3"; },
                  "Applied voltage must be higher.", 7, true}),
    [](const ::testing::TestParamInfo<Rejection>& param) { return std::string(param.param.name); });

struct BadText {
    std::string ParameterTexts::*field;
    int stages;  // stored when the conversion fails
};

TEST(StaticRunConversion, ATextThatIsNotANumberEndsTheRunWithTheConversionMessage) {
    const BadText fields[] = {
        {&ParameterTexts::Thickness, 0},          {&ParameterTexts::MaxRemanentPolarization, 1},
        {&ParameterTexts::LeftBuiltInVoltage, 2}, {&ParameterTexts::AppliedVoltage, 2},
        {&ParameterTexts::DielectricConstant, 3}, {&ParameterTexts::MaxCoerciveField, 4},
        {&ParameterTexts::DensityOfDopants, 5},   {&ParameterTexts::ElectrodeArea, 6},
    };
    const char* texts[] = {"", "  ", "1,5", "1e", "--1", "0x10", "inf", "nan", "1e99999", "5E 18"};
    for (const BadText& f : fields) {
        for (const char* text : texts) {
            SCOPED_TRACE(text);
            ParameterTexts input;
            input.Thickness = "500";
            input.*f.field = text;
            Simulation model = StartedModel();
            RecordingOutlets outlets;
            SilentProgress progress;
            try {
                RunStaticCharacteristics(model, input, outlets, progress);
                ADD_FAILURE() << "accepted";
            } catch (const ConversionError& error) {
                EXPECT_EQ(std::string(error.what()),
                          "'" + std::string(text) + "' is not a valid floating point value");
            }
            EXPECT_EQ(StoredStages(model), f.stages);
            EXPECT_TRUE(outlets.errors.empty());
            EXPECT_EQ(outlets.labels.size(), f.stages >= 3 ? 1u : 0u);
            EXPECT_EQ(outlets.plotCalls, 0);
        }
    }
}

// Runs with a repeat count of 1 (a budget of about ten sweeps) where only the checks matter.
bool QuickRun(ParameterTexts texts, Simulation& model, RecordingOutlets& outlets) {
    model = StartedModel(1);
    SilentProgress progress;
    return RunStaticCharacteristics(model, texts, outlets, progress);
}

TEST(StaticRunAccepts, AnOrdinarySemiconductorAndANegativeBiasAboveMinusTheBuiltIn) {
    ParameterTexts semiconductor;
    semiconductor.MaxRemanentPolarization = "0";
    semiconductor.MaxCoerciveField = "0";
    Simulation model;
    RecordingOutlets outlets;
    EXPECT_TRUE(QuickRun(semiconductor, model, outlets));
    EXPECT_TRUE(outlets.errors.empty());

    ParameterTexts negative;
    negative.AppliedVoltage = "-0.5";
    RecordingOutlets negativeOutlets;
    EXPECT_TRUE(QuickRun(negative, model, negativeOutlets));
    EXPECT_EQ(model.GetMaxIncrementOfVoltage(), (1.5L * 10.0L) / 1.0L);
    EXPECT_EQ(negativeOutlets.labels[0][1], "15");
}

TEST(StaticRunAccepts, OnlyTheExactTextPTypeStoresANegativeDensity) {
    const std::pair<const char*, bool> cases[] = {
        {"p-type", true}, {"n-type", false}, {"", false}, {"P-type", false}, {" p-type", false}};
    for (const auto& [type, negative] : cases) {
        SCOPED_TRACE(type);
        ParameterTexts texts;
        texts.ConductionType = type;
        Simulation model;
        RecordingOutlets outlets;
        ASSERT_TRUE(QuickRun(texts, model, outlets));
        EXPECT_EQ(model.ConductionType, type);
        EXPECT_EQ(model.DensityOfDopants < 0, negative);
        EXPECT_EQ(std::fabs(model.DensityOfDopants), 5e24L);
    }
}

TEST(StaticRunAccepts, DensityTextsWithSpacesOrSmallEGiveTheSameNumber) {
    for (const char* text : {"5E18", "5e18", "  5E18  "}) {
        SCOPED_TRACE(text);
        ParameterTexts texts;
        texts.DensityOfDopants = text;
        Simulation model;
        RecordingOutlets outlets;
        ASSERT_TRUE(QuickRun(texts, model, outlets));
        EXPECT_EQ(model.DensityOfDopants, -5e24L);
    }
}

TEST(StaticRunAccepts, ASecondRunReplacesBothCurves) {
    Simulation model;
    RecordingOutlets outlets;
    ASSERT_TRUE(QuickRun(ParameterTexts{}, model, outlets));
    const auto first = outlets.points;
    ParameterTexts thinner;
    thinner.Thickness = "200";
    model.SetRepeatOfCalculation(1);
    SilentProgress progress;
    ASSERT_TRUE(RunStaticCharacteristics(model, thinner, outlets, progress));
    ASSERT_EQ(outlets.points[0].size(), 1000u);
    EXPECT_NEAR(outlets.points[0][999].first, 199.8, 1e-9);
    EXPECT_NE(outlets.points, first);
}

TEST(StaticRunSolverFailure, LeavesTheBusyStateAndPlotsNothing) {
    ParameterTexts texts;
    texts.DielectricConstant = "1e-4945";  // the permittivity underflows to 0
    Simulation model;
    RecordingOutlets outlets;
    EXPECT_THROW(QuickRun(texts, model, outlets), SolverError);
    EXPECT_EQ(outlets.busy, "enter leave");
    EXPECT_EQ(outlets.plotCalls, 0);
}

}  // namespace
