#pragma once
// The fixture of the single-instrument evaluation tests: one sheet "MAT 123" on a
// FakeWorkspace, scripted dialogs that can look at the world when a box appears, and the
// small helpers the expected texts are written with.

#include "support/FakeWorkspace.h"
#include "support/TestSupport.h"
#include "ui/ChartModel.h"

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>

namespace testing_support {

inline constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
inline constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Scripted dialogs that can also look at the world when a message box appears.
class WatchingDialogs : public ScriptedDialogs {
public:
    void message(QWidget* owner, const QString& text) override {
        if (onMessage)
            onMessage(text);
        ScriptedDialogs::message(owner, text);
    }
    std::function<void(const QString&)> onMessage;
};

// A number as the output writes it: the test texts use a comma, replaced here by the
// decimal separator in force.
QString dec(const char* text);

QStringList textLines(std::initializer_list<const char*> lines);

inline const QString kHyphens57(57, u'-');
inline const QString kHyphens34(34, u'-');

class Eval : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Marks the panes with text the evaluation must keep or replace.
    void prefill();
    void setBlanks(const char* a, const char* b, const char* c, const char* d);
    // Reference values 100, 200 ... 1000 and every replicate equal to its reference value.
    void setIdealSamples();
    // A series of the deviation chart by its component name.
    const ui::Series& series(const char* name) const;

    WatchingDialogs dialogs;
    FakeWorkspace ws;
    FakeSheet* sheet = nullptr;
};

} // namespace testing_support
