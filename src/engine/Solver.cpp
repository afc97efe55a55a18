// The relaxation solve. Every value it stores is bit for bit what a plain loop over the sweep
// would give, with the same operations in the same order per point; the speed comes from doing
// them in a better place:
//  - the carrier exponentials of a sweep read only last sweep's potentials, so they are taken in
//    one batch before the serial Gauss-Seidel pass, which then makes no calls and keeps its values
//    in the x87 registers;
//  - the space-charge divisions do not depend on the chain through V[i-1], so the processor runs
//    them beside it;
//  - convergence asks whether any change reaches the threshold, which is the same question as
//    whether the largest change does, without a chain of comparisons from point to point;
//  - Field and CoerciveField are outputs only (no sweep reads them), so they are derived once from
//    the final potentials instead of in every sweep;
//  - in an ordinary semiconductor the polarization stays the zero profile that InitializeProfiles
//    laid, so the polarization term is one constant.

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/Simulation.h"
#include "platform/NumberText.h"

namespace {

// The convergence thresholds are this fraction of the per-sweep limits.
constexpr long double kConvergenceFraction = static_cast<long double>(0.0001);

// Budgets beyond this cannot be counted (nor finished); they are refused before the first sweep.
constexpr long double kLargestBudget = 4.0e18L;

struct Constants {
    long double beta;        // q / kT
    long double dx;          // mesh spacing
    long double eps;         // permittivity
    long double chargeTerm;  // ((dx q) dx) Nd, the numerator of the space-charge term
    long double dVmax;
    long double dPmax;
    long double prmax;
    long double negPrmax;
    long double ecmax;
    // With P all zero, (P[i+1] - P[i-1]) is +0 at every point and so is the whole term.
    long double zeroPolarizationTerm;
    bool pType;
};

// The carrier exponentials of a sweep read only last sweep's potentials, so they are taken in one
// batch first: a call inside the serial loop would force the x87 registers out to memory.
void CarrierExponentials(const Constants& k, const long double* v, double* e, std::size_t n) {
    const long double sign = k.pType ? -1.0L : 1.0L;  // exact: only flips the sign bit
    for (std::size_t i = 1; i + 1 < n; ++i) {
        e[i] = static_cast<double>((sign * v[i]) * k.beta);
    }
    for (std::size_t i = 1; i + 1 < n; ++i) {
        e[i] = std::exp(e[i]);
    }
}

// Whether the largest change of a sweep stays below its threshold. Taking the largest value means
// a chain of comparisons from point to point; asking instead whether any change reaches the
// threshold gives the same answer (a NaN change counts in neither) without that chain.
struct ThresholdTest {
    long double threshold;
    bool reached = false;
    void Add(long double change) { reached |= change >= threshold; }
    bool Below() const { return !reached && 0.0L < threshold; }
};

// The serial Gauss-Seidel pass over the interior points; the unclipped changes, taken through
// double, go to the test. The space-charge divisions do not depend on the chain through V[i-1],
// so the processor overlaps them with it.
template <bool Ferroelectric>
bool RelaxPotential(const Constants& constants, long double* __restrict v,
                    const long double* __restrict p, const double* __restrict e, std::size_t n,
                    long double threshold) {
    const Constants k = constants;
    ThresholdTest test{threshold};
    long double left = v[0];
    for (std::size_t i = 1; i + 1 < n; ++i) {
        const long double old = v[i];
        const long double s = 1.0L - static_cast<long double>(e[i]);
        const long double rho = (s * k.chargeTerm) / k.eps;
        long double pol;
        if constexpr (Ferroelectric) {
            pol = (((p[i + 1] - p[i - 1]) * k.dx) / k.eps) * 0.5L;
        } else {
            pol = k.zeroPolarizationTerm;
        }
        const long double candidate = (((left + v[i + 1]) + rho) - pol) * 0.5L;
        const long double delta = candidate - old;
        long double updated;
        if (std::fabs(delta) < k.dVmax) {
            updated = candidate;
        } else if (delta > 0) {
            updated = old + k.dVmax;
        } else {
            updated = old - k.dVmax;
        }
        v[i] = updated;
        left = updated;
        test.Add(std::fabs(static_cast<double>(delta)));
    }
    return test.Below();
}

// The polarization follows the local field of this sweep's potentials; the changes actually
// applied go to the test.
bool RelaxPolarization(const Constants& constants, const long double* __restrict v,
                       long double* __restrict p, std::size_t n, long double threshold) {
    const Constants k = constants;
    ThresholdTest test{threshold};
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const long double oldP = p[i];
        const long double candidate = (((v[i + 1] - v[i]) * k.negPrmax) / k.dx) / k.ecmax;
        const long double dP = candidate - oldP;
        long double updated;
        if (std::fabs(dP) < k.dPmax) {
            updated = candidate;
        } else if (dP >= 0) {
            updated = oldP + k.dPmax;
        } else {
            updated = oldP - k.dPmax;
        }
        if (updated > k.prmax) {
            updated = k.prmax;
        }
        if (updated < k.negPrmax) {
            updated = k.negPrmax;
        }
        p[i] = updated;
        test.Add(std::fabs(oldP - updated));
    }
    p[n - 1] = p[n - 2];
    return test.Below();
}

void DeriveField(const Constants& k, bool ferroelectric, Simulation& model) {
    const std::size_t n = model.Voltage.size();
    const long double* v = model.Voltage.data();
    long double* field = model.Field.data();
    long double* coercive = model.CoerciveField.data();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        field[i] = (v[i + 1] - v[i]) / k.dx;
    }
    field[n - 1] = field[n - 2];
    if (ferroelectric) {
        for (std::size_t i = 0; i + 1 < n; ++i) {
            const long double f = field[i];
            coercive[i] = f > k.ecmax ? k.ecmax : (f < -k.ecmax ? -k.ecmax : f);
        }
        coercive[n - 1] = coercive[n - 2];
    }
}

void CheckSolvable(const Simulation& model, long double budget) {
    if (model.Permittivity == 0) {
        throw SolverError("The permittivity is 0: the dielectric constant is too small to solve.");
    }
    if (model.IsFerroelectric() && model.MaxCoerciveField == 0) {
        throw SolverError(kZeroCoerciveFieldMessage);
    }
    if (!(budget <= kLargestBudget)) {
        throw SolverError("The sweep budget of " + FloatToStr(static_cast<double>(budget)) +
                          " sweeps is too large to count; lower the repeat of calculation or the "
                          "voltages.");
    }
}

}  // namespace

void Simulation::CalculateBandBending(ProgressReport& progress) {
    InitializeProfiles();
    const long double budget = SweepBudget();
    CheckSolvable(*this, budget);

    const std::size_t n = Voltage.size();
    const bool ferroelectric = IsFerroelectric();
    Constants k{};
    k.beta = InverseThermalVoltage;
    k.dx = IncrementOfDistance;
    k.eps = Permittivity;
    k.chargeTerm = ((k.dx * static_cast<long double>(ElementaryCharge)) * k.dx) * DensityOfDopants;
    k.dVmax = MaxIncrementOfVoltage;
    k.dPmax = MaxIncrementOfRemanentPolarization;
    k.prmax = MaxRemanentPolarization;
    k.negPrmax = -MaxRemanentPolarization;
    k.ecmax = MaxCoerciveField;
    k.pType = IsPType();
    const long double voltageThreshold = kConvergenceFraction * k.dVmax;
    const long double polarizationThreshold = kConvergenceFraction * k.dPmax;
    k.zeroPolarizationTerm = (((0.0L - 0.0L) * k.dx) / k.eps) * 0.5L;

    std::vector<double> exponentials(n);

    progress.Show();
    try {
        // budget + 1 <= 4e18 + 1 fits a 64-bit integer; the cast truncates toward zero. A negative
        // budget (a negative repeat count) runs no sweep and shows an empty range.
        const long double top = budget + 1.0L;
        progress.SetMax(top > 0 ? static_cast<std::int64_t>(top) : 0);
        progress.Reset();
        std::int64_t sweep = 0;
        bool swept = false;
        while (static_cast<long double>(sweep) < budget) {
            progress.Step();
            swept = true;
            long double* v = Voltage.data();
            long double* p = RemanentPolarization.data();
            CarrierExponentials(k, v, exponentials.data(), n);
            bool converged;
            if (ferroelectric) {
                const bool potentialSettled =
                    RelaxPotential<true>(k, v, p, exponentials.data(), n, voltageThreshold);
                const bool polarizationSettled =
                    RelaxPolarization(k, v, p, n, polarizationThreshold);
                converged = potentialSettled && polarizationSettled;
            } else {
                converged =
                    RelaxPotential<false>(k, v, p, exponentials.data(), n, voltageThreshold);
            }
            if (converged) {
                break;
            }
            ++sweep;
        }
        if (swept) {
            DeriveField(k, ferroelectric, *this);
        }
    } catch (...) {
        progress.Close();
        throw;
    }
    progress.Close();
}
