#pragma once
// Summary mode: on only while the batch evaluation or the overall test runs the
// evaluations. They then show no message boxes and append their blocks to the summary pane.

namespace vel {

bool summaryMode();
void setSummaryMode(bool on);

// Switches summary mode on for its lifetime and off again however the scope ends.
class SummaryModeScope {
public:
    SummaryModeScope() { setSummaryMode(true); }
    ~SummaryModeScope() { setSummaryMode(false); }
    SummaryModeScope(const SummaryModeScope&) = delete;
    SummaryModeScope& operator=(const SummaryModeScope&) = delete;
};

} // namespace vel
