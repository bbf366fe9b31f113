#pragma once

#include <QString>

// The progress window of long passes as the database layer sees it; the application maps it to
// its pop-up progress window, tests record the calls.
class TProgressSink {
public:
    virtual ~TProgressSink() = default;
    virtual void StartProgress(const QString& caption, int maximum) = 0;
    virtual void StepProgress(int position) = 0;
    virtual void FinishProgress() = 0;
};
