#include "engine/ReferenceSolver.h"

#include <cmath>

namespace {

void ReferenceMesh(Simulation& m) {
    m.NumberOfPoints =
        static_cast<std::int32_t>(static_cast<double>(m.Thickness / m.IncrementOfDistance));
    const int n = m.NumberOfPoints;
    m.Voltage.assign(static_cast<std::size_t>(n), 0.0L);
    auto& v = m.Voltage;
    if (m.ConductionType == "p-type") {
        v[0] = m.BuiltInPotential + m.AppliedVoltage;
    } else {
        v[0] = -(m.BuiltInPotential + m.AppliedVoltage);
    }
    v[static_cast<std::size_t>(n - 1)] = m.RightSideVoltage;
    const long double step = (v[static_cast<std::size_t>(n - 1)] - v[0]) / n;
    m.RemanentPolarization.assign(static_cast<std::size_t>(n), 0.0L);
    m.CoerciveField.assign(static_cast<std::size_t>(n), 0.0L);
    m.Field.assign(static_cast<std::size_t>(n), 0.0L);
    m.Distance.assign(static_cast<std::size_t>(n), 0.0L);
    for (int i = 1; i < n; ++i) {
        v[static_cast<std::size_t>(i)] = v[0] + i * step;
    }
    for (int i = 0; i < n; ++i) {
        m.RemanentPolarization[static_cast<std::size_t>(i)] = 0;
        m.CoerciveField[static_cast<std::size_t>(i)] = 0;
        m.Field[static_cast<std::size_t>(i)] = 0;
    }
    for (int i = 0; i < n; ++i) {
        m.Distance[static_cast<std::size_t>(i)] = i * m.IncrementOfDistance;
    }
}

}  // namespace

std::int64_t ReferenceSolve(Simulation& m) {
    ReferenceMesh(m);
    const int n = m.NumberOfPoints;
    auto V = [&m](int i) -> long double& { return m.Voltage[static_cast<std::size_t>(i)]; };
    auto P = [&m](int i) -> long double& {
        return m.RemanentPolarization[static_cast<std::size_t>(i)];
    };
    auto F = [&m](int i) -> long double& { return m.Field[static_cast<std::size_t>(i)]; };
    auto Ec = [&m](int i) -> long double& { return m.CoerciveField[static_cast<std::size_t>(i)]; };
    const long double q = ElementaryCharge;
    const long double dx = m.IncrementOfDistance;
    const long double eps = m.Permittivity;
    const long double beta = m.InverseThermalVoltage;
    const long double prmax = m.MaxRemanentPolarization;
    const long double ecmax = m.MaxCoerciveField;
    const long double dVmax = m.MaxIncrementOfVoltage;
    const long double dPmax = m.MaxIncrementOfRemanentPolarization;

    const long double budget =
        ((static_cast<long double>(std::fabs(static_cast<double>(V(0)))) - 1) * 1 + 10) *
        m.RepeatOfCalculation;
    std::int64_t sweeps = 0;
    std::int64_t counter = 0;
    while (counter < budget) {
        ++sweeps;
        long double maxDV = 0;
        long double maxDP = 0;
        for (int i = 1; i <= n - 2; ++i) {
            const long double old = V(i);
            long double s;
            if (m.ConductionType == "p-type") {
                s = 1.0L - std::exp(static_cast<double>(-V(i) * beta));
            } else {
                s = 1.0L - std::exp(static_cast<double>(V(i) * beta));
            }
            const long double rho = s * (((dx * q) * dx) * m.DensityOfDopants) / eps;
            const long double pol = (P(i + 1) - P(i - 1)) * dx / eps * 0.5L;
            const long double c = (V(i - 1) + V(i + 1) + rho - pol) * 0.5L;
            const long double delta = c - old;
            if (std::fabs(delta) < dVmax) {
                V(i) = c;
            } else if (delta > 0) {
                V(i) = old + dVmax;
            } else {
                V(i) = old - dVmax;
            }
            const long double change = std::fabs(static_cast<double>(delta));
            if (maxDV < change) {
                maxDV = change;
            }
        }
        bool converged;
        if (prmax > 0) {
            for (int i = 0; i <= n - 2; ++i) {
                const long double oldP = P(i);
                const long double cP = (V(i + 1) - V(i)) * (-prmax) / dx / ecmax;
                const long double dP = cP - oldP;
                if (std::fabs(dP) < dPmax) {
                    P(i) = cP;
                } else if (dP >= 0) {
                    P(i) = oldP + dPmax;
                } else {
                    P(i) = oldP - dPmax;
                }
                if (P(i) > prmax) {
                    P(i) = prmax;
                }
                if (P(i) < -prmax) {
                    P(i) = -prmax;
                }
                const long double change = std::fabs(oldP - P(i));
                if (maxDP < change) {
                    maxDP = change;
                }
            }
            P(n - 1) = P(n - 2);
            for (int i = 0; i <= n - 2; ++i) {
                F(i) = (V(i + 1) - V(i)) / dx;
                if (F(i) > ecmax) {
                    Ec(i) = ecmax;
                } else if (F(i) < -ecmax) {
                    Ec(i) = -ecmax;
                } else {
                    Ec(i) = F(i);
                }
            }
            Ec(n - 1) = Ec(n - 2);
            F(n - 1) = F(n - 2);
            converged = maxDV < 0.0001 * dVmax && maxDP < 0.0001 * dPmax;
        } else {
            for (int i = 0; i <= n - 1; ++i) {
                P(i) = 0;
                Ec(i) = 0;
            }
            for (int i = 0; i <= n - 2; ++i) {
                F(i) = (V(i + 1) - V(i)) / dx;
            }
            F(n - 1) = F(n - 2);
            converged = maxDV < 0.0001 * dVmax;
        }
        if (converged) {
            break;
        }
        ++counter;
    }
    return sweeps;
}
