#pragma once
// How far a long map job (reading, converting, writing a map) has come, and
// whether the one who started it wants it stopped. The job's thread reports;
// any thread reads the fraction and cancels.

#include <atomic>
#include <cstdint>

class CMapProgress
{
public:
    /// Asks the job to stop at its next report.
    void Cancel() { m_bCancelled.store(true, std::memory_order_relaxed); }
    bool IsCancelled() const { return m_bCancelled.load(std::memory_order_relaxed); }

    /// The part of the whole job done, 0 to 1000.
    int Permille() const { return m_nPermille.load(std::memory_order_relaxed); }

    /// The job's next step covers the fractions `begin` to `end` (0 to 1) of
    /// the whole; Report then tells how far into the step it is.
    void SetStep(double begin, double end)
    {
        m_dStepBegin = begin;
        m_dStepEnd = end;
        Report(0.0);
    }

    /// `fraction` (0 to 1) of the current step is done. Returns false when
    /// the job is to stop.
    bool Report(double fraction)
    {
        const double whole = m_dStepBegin + (m_dStepEnd - m_dStepBegin) * fraction;
        m_nPermille.store(static_cast<int>(whole * 1000.0), std::memory_order_relaxed);
        return !IsCancelled();
    }

    /// The same with a count: `done` of `total` (0 total counts as done).
    bool Report(std::uint64_t done, std::uint64_t total)
    {
        return Report(total == 0 ? 1.0 : static_cast<double>(done) / static_cast<double>(total));
    }

private:
    std::atomic<bool> m_bCancelled{false};
    std::atomic<int> m_nPermille{0};
    double m_dStepBegin = 0.0; // the job's thread only
    double m_dStepEnd = 1.0;
};
