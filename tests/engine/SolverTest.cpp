#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "engine/ReferenceSolver.h"
#include "engine/Simulation.h"
#include "results/Conditions.h"

namespace {

// Records the calls the solver makes on the progress window.
class RecordingProgress : public ProgressReport {
public:
    void Show() override { calls += "show "; }
    void SetMax(std::int64_t value) override {
        max = value;
        calls += "max ";
    }
    void Reset() override {
        position = 0;
        calls += "reset ";
    }
    void Step() override {
        if (position == 0) {
            calls += "step ";
        }
        ++position;
    }
    void Close() override { calls += "close"; }

    std::string calls;
    std::int64_t max = -1;
    std::int64_t position = -1;
};

struct Device {
    const char* name;
    const char* type = "p-type";
    long double thicknessNm = 1000;
    long double dielectric = 100;
    long double prmax = 10;   // microC/cm^2
    long double ecmax = 100;  // kV/cm
    long double dopants = 5e18L;
    long double builtIn = 1;
    long double applied = 0;
    std::int32_t repeat = 10000;
    long double temperature = 300;
    long double rightSide = 0;
};

void PrintTo(const Device& device, std::ostream* os) {
    *os << device.name;
}

// The model as the static run leaves it just before the solve.
Simulation Prepared(const Device& d) {
    Simulation m;
    StoreStartupConditions(m);
    m.SetRepeatOfCalculation(d.repeat);
    m.SetMeasurementTemperature(d.temperature);
    m.SetThickness(d.thicknessNm);
    m.SetMaxRemanentPolarization(d.prmax);
    m.SetIncrementOfDistance(d.thicknessNm * 0.001L);
    m.SetMaxIncrementOfRemanentPolarization((d.prmax * 10) / m.GetRepeatOfCalculation());
    const double span =
        std::fabs(static_cast<double>(d.builtIn)) + std::fabs(static_cast<double>(d.applied));
    m.SetMaxIncrementOfVoltage(static_cast<long double>(span) * 10 / m.GetRepeatOfCalculation());
    m.SetDielectricConstant(d.dielectric);
    m.SetMaxCoerciveField(d.ecmax);
    m.SetConductionType(d.type);
    m.SetDensityOfDopants(d.dopants);
    m.SetElectrodeArea(1);
    m.SetBuiltInPotential(d.builtIn);
    m.SetRightSideVoltage(d.rightSide);
    m.SetAppliedVoltage(d.applied);
    return m;
}

bool SameBits(const Profile& a, const Profile& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        // The 80 significant bits; the padding of a long double is not part of the value.
        if (std::memcmp(&a[i], &b[i], 10) != 0) {
            return false;
        }
    }
    return true;
}

void ExpectIdenticalToReference(const Device& d, std::int64_t* sweeps = nullptr) {
    Simulation solved = Prepared(d);
    Simulation reference = Prepared(d);
    RecordingProgress progress;
    solved.CalculateBandBending(progress);
    const std::int64_t referenceSweeps = ReferenceSolve(reference);
    EXPECT_EQ(progress.position, referenceSweeps);
    EXPECT_EQ(solved.NumberOfPoints, reference.NumberOfPoints);
    EXPECT_TRUE(SameBits(solved.Voltage, reference.Voltage)) << "Voltage";
    EXPECT_TRUE(SameBits(solved.RemanentPolarization, reference.RemanentPolarization))
        << "RemanentPolarization";
    EXPECT_TRUE(SameBits(solved.Field, reference.Field)) << "Field";
    EXPECT_TRUE(SameBits(solved.CoerciveField, reference.CoerciveField)) << "CoerciveField";
    EXPECT_TRUE(SameBits(solved.Distance, reference.Distance)) << "Distance";
    if (sweeps != nullptr) {
        *sweeps = progress.position;
    }
}

// Short budgets (a repeat count of 1 to 20 gives 10 to 200 sweeps) keep each case quick while the
// profiles are still far from settled, where every rounding shows.
class SolverMatchesReference : public ::testing::TestWithParam<Device> {};

TEST_P(SolverMatchesReference, BitForBit) {
    ExpectIdenticalToReference(GetParam());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SolverMatchesReference,
    ::testing::Values(
        Device{"ferroelectric_p", "p-type", 1000, 100, 10, 100, 5e18L, 1, 0, 20},
        Device{"ferroelectric_n", "n-type", 1000, 100, 10, 100, 5e18L, 1, 0, 20},
        Device{"semiconductor_p", "p-type", 1000, 100, 0, 0, 5e18L, 1, 0, 20},
        Device{"semiconductor_n", "n-type", 1000, 100, 0, 0, 5e18L, 1, 0, 20},
        Device{"prmax0_ecmax100", "p-type", 1000, 100, 0, 100, 5e18L, 1, 0, 20},
        Device{"other_type_text", "P-type", 500, 80, 5, 50, 1e17L, 0.8L, 0.4L, 10},
        Device{"thin_heavily_doped", "p-type", 20, 30, 2, 10, 1e21L, 0.6L, 0.2L, 10},
        Device{"negative_bias", "n-type", 250, 30, 20, 300, 1e19L, 1.5L, -0.7L, 10},
        // A right side far below the left: the exponentials overflow to infinity there.
        Device{"overflowing_exponential", "p-type", 1000, 100, 10, 100, 5e18L, 1, 0, 1, 300, -25},
        Device{"overflowing_exponential_semi", "p-type", 1000, 100, 0, 0, 5e18L, 1, 0, 1, 300, -25},
        Device{"hot", "p-type", 300, 10, 1, 1, 1e19L, 0.3L, 2, 5, 900},
        Device{"saturating_polarization", "p-type", 200, 50, 50, 1, 1e20L, 2, 1, 3},
        Device{"converging_ferroelectric", "p-type", 1000, 100, 1, 100, 1e17L, 1, 0, 10},
        Device{"long_semiconductor", "p-type", 100, 100, 0, 0, 1e18L, 0.5L, 0, 100}),
    [](const ::testing::TestParamInfo<Device>& param) { return std::string(param.param.name); });

// The whole default runs, as the program makes them.
TEST(SolverDefaults, FerroelectricRunUsesItsWholeBudget) {
    std::int64_t sweeps = 0;
    ExpectIdenticalToReference(Device{"default"}, &sweeps);
    EXPECT_EQ(sweeps, 100000);
}

TEST(SolverDefaults, SemiconductorRunConvergesLongBeforeItsBudget) {
    Device d{"semiconductor"};
    d.prmax = 0;
    d.ecmax = 0;
    std::int64_t sweeps = 0;
    ExpectIdenticalToReference(d, &sweeps);
    EXPECT_GT(sweeps, 0);
    EXPECT_LT(sweeps, 100000 / 10);
}

TEST(SolverBudget, IsNinePlusTheLeftPotentialTimesTheRepeatCount) {
    Simulation m = Prepared(Device{"budget"});
    m.SetBuiltInPotential(2);
    m.InitializeProfiles();
    EXPECT_EQ(m.SweepBudget(), 110000.0L);
    m.SetBuiltInPotential(0.5L);
    m.InitializeProfiles();
    EXPECT_EQ(m.SweepBudget(), 95000.0L);
}

// Stops a solve at its first sweep, once the range is set.
struct Stop {};
class StoppingProgress : public RecordingProgress {
public:
    void Step() override { throw Stop{}; }
};

TEST(SolverProgress, RangeIsTheBudgetPlusOneAndTheWindowClosesOnEveryWayOut) {
    Simulation m = Prepared(Device{"range"});
    m.SetBuiltInPotential(2);
    StoppingProgress progress;
    EXPECT_THROW(m.CalculateBandBending(progress), Stop);
    EXPECT_EQ(progress.max, 110001);
    EXPECT_EQ(progress.calls, "show max reset close");
}

TEST(SolverProgress, AFractionalBudgetRunsOneMoreSweepAndFillsTheBar) {
    // |V0| = 1.5 and a repeat count of 1: a budget of 10.5 sweeps.
    Simulation m = Prepared(Device{"fraction", "p-type", 1000, 100, 10, 100, 5e18L, 1.5L, 0, 1});
    RecordingProgress progress;
    m.CalculateBandBending(progress);
    EXPECT_EQ(progress.max, 11);
    EXPECT_EQ(progress.position, 11);
    EXPECT_EQ(progress.calls, "show max reset step close");
}

TEST(SolverProgress, AWholeBudgetStopsOneStepShortOfTheMaximum) {
    Simulation m = Prepared(Device{"whole", "p-type", 1000, 100, 10, 100, 5e18L, 1, 0, 2});
    RecordingProgress progress;
    m.CalculateBandBending(progress);
    EXPECT_EQ(progress.max, 21);
    EXPECT_EQ(progress.position, 20);
}

TEST(SolverProgress, ASecondSolveStartsFromAnEmptyBar) {
    Simulation m = Prepared(Device{"again", "p-type", 1000, 100, 10, 100, 5e18L, 1, 0, 1});
    RecordingProgress progress;
    m.CalculateBandBending(progress);
    m.SetRepeatOfCalculation(2);
    progress.calls.clear();
    m.CalculateBandBending(progress);
    EXPECT_EQ(progress.max, 21);
    EXPECT_EQ(progress.position, 20);
    EXPECT_EQ(progress.calls, "show max reset step close");
}

TEST(SolverInvariants, BoundariesFixedAndProfilesWithinTheirLimits) {
    for (const Device& d : {Device{"ferro", "p-type", 1000, 100, 10, 100, 5e18L, 1, 0.5L, 30},
                            Device{"semi", "n-type", 1000, 100, 0, 0, 5e18L, 1, 0.5L, 30}}) {
        SCOPED_TRACE(d.name);
        Simulation m = Prepared(d);
        m.CalculateBandBending();
        Simulation start = Prepared(d);
        start.InitializeProfiles();
        const std::size_t n = m.Voltage.size();
        ASSERT_EQ(n, 1000u);
        EXPECT_EQ(m.Voltage[0], start.Voltage[0]);
        EXPECT_EQ(m.Voltage[n - 1], start.Voltage[n - 1]);
        EXPECT_EQ(m.Field[n - 1], m.Field[n - 2]);
        EXPECT_NE(m.Voltage, start.Voltage);
        for (std::size_t i = 0; i < n; ++i) {
            EXPECT_LE(std::fabs(m.RemanentPolarization[i]), m.MaxRemanentPolarization);
            EXPECT_LE(std::fabs(m.CoerciveField[i]), m.MaxCoerciveField);
        }
        EXPECT_EQ(m.RemanentPolarization[n - 1], m.RemanentPolarization[n - 2]);
        EXPECT_EQ(m.CoerciveField[n - 1], m.CoerciveField[n - 2]);
        if (!m.IsFerroelectric()) {
            for (std::size_t i = 0; i < n; ++i) {
                EXPECT_EQ(m.RemanentPolarization[i], 0.0L);
                EXPECT_EQ(m.CoerciveField[i], 0.0L);
            }
        }
    }
}

TEST(SolverSymmetry, PAndNTypeRunsAreMirrorImagesSweepForSweep) {
    for (const std::int32_t repeat : {1, 3, 7}) {
        for (const long double prmax : {10.0L, 0.0L}) {
            SCOPED_TRACE(repeat);
            Simulation p = Prepared(Device{"p", "p-type", 1000, 100, prmax,
                                           prmax > 0 ? 100.0L : 0.0L, 5e18L, 1, 0.3L, repeat});
            Simulation n = Prepared(Device{"n", "n-type", 1000, 100, prmax,
                                           prmax > 0 ? 100.0L : 0.0L, 5e18L, 1, 0.3L, repeat});
            p.CalculateBandBending();
            n.CalculateBandBending();
            ASSERT_EQ(p.Voltage.size(), n.Voltage.size());
            for (std::size_t i = 0; i < p.Voltage.size(); ++i) {
                ASSERT_EQ(p.Voltage[i], -n.Voltage[i]) << i;
                ASSERT_EQ(p.RemanentPolarization[i], -n.RemanentPolarization[i]) << i;
                ASSERT_EQ(p.Field[i], -n.Field[i]) << i;
                ASSERT_EQ(p.CoerciveField[i], -n.CoerciveField[i]) << i;
            }
        }
    }
}

TEST(SolverBudget, ZeroOrNegativeBudgetPerformsNoSweep) {
    Simulation m = Prepared(Device{"none"});
    m.SetRepeatOfCalculation(0);
    RecordingProgress progress;
    m.CalculateBandBending(progress);
    EXPECT_EQ(progress.position, 0);
    EXPECT_EQ(progress.max, 1);
    Simulation start = Prepared(Device{"none"});
    start.InitializeProfiles();
    EXPECT_EQ(m.Voltage, start.Voltage);
    EXPECT_EQ(m.Field, start.Field);

    m.SetBuiltInPotential(1e300L);
    m.SetRepeatOfCalculation(-1);
    m.CalculateBandBending(progress);
    EXPECT_EQ(progress.position, 0);
    EXPECT_EQ(progress.max, 0);
}

TEST(SolverErrors, RefusesModelsThatWouldDivideByZeroOrNeverEnd) {
    struct Case {
        const char* name;
        void (*spoil)(Simulation&);
    };
    const Case cases[] = {
        {"ferroelectric without coercive field", [](Simulation& m) { m.SetMaxCoerciveField(0); }},
        {"permittivity underflowing to 0",
         [](Simulation& m) { m.SetDielectricConstant(1e-4945L); }},
        {"thickness underflowing to 0", [](Simulation& m) { m.SetThickness(1e-4945L); }},
        {"budget beyond any counter", [](Simulation& m) { m.SetBuiltInPotential(1e300L); }},
        {"infinite left potential",
         [](Simulation& m) {
             m.SetBuiltInPotential(1e4932L);
             m.SetAppliedVoltage(1e4932L);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Simulation m = Prepared(Device{"bad"});
        c.spoil(m);
        RecordingProgress progress;
        EXPECT_THROW(m.CalculateBandBending(progress), SolverError);
        EXPECT_EQ(progress.position, -1) << "no sweep may run";
    }
}

TEST(SolverErrors, ZeroCoerciveFieldIsFineForAnOrdinarySemiconductor) {
    Simulation m = Prepared(Device{"semi", "p-type", 1000, 100, 0, 0, 5e18L, 1, 0, 1});
    EXPECT_NO_THROW(m.CalculateBandBending());
}

}  // namespace
