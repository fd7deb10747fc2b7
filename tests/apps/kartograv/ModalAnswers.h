#pragma once

// Answers the modal dialogs a command opens, as a person does: when the dialog of the next step
// is up, the step works its real widgets (keys, clicks) and closes it. Steps run in order; a
// dialog that no step expects is left for the test to notice (the command then never returns,
// and the watchdog rejects the dialog and records the failure).

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <functional>

namespace vrn::testing {

class TModalAnswers : public QObject
{
public:
    using TStep = std::function<void(QDialog &dialog)>;

    TModalAnswers()
    {
        FTimer.setInterval(20);
        QObject::connect(&FTimer, &QTimer::timeout, this, [this] { Poll(); });
        FTimer.start();
    }

    // The next modal dialog must have this objectName (or window title when it has none).
    void Expect(const QString &name, TStep step) { FSteps.push_back({name, std::move(step)}); }

    bool AllAnswered() const { return FSteps.empty(); }

    QStringList Unexpected;
    QStringList Seen;

private:
    struct TExpected
    {
        QString Name;
        TStep Step;
    };

    void Poll()
    {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            FSince.invalidate();
            return;
        }
        const QString name =
            dialog->objectName().isEmpty() ? dialog->windowTitle() : dialog->objectName();
        if (!FSteps.empty() && FSteps.front().Name == name) {
            TExpected e = std::move(FSteps.front());
            FSteps.pop_front();
            Seen << name;
            QPointer<QDialog> guard(dialog);
            e.Step(*dialog);
            return;
        }
        if (!FSince.isValid())
            FSince.start();
        else if (FSince.elapsed() > 3000) {
            Unexpected << name;
            dialog->reject();
            FSince.invalidate();
        }
    }

    QTimer FTimer;
    std::deque<TExpected> FSteps;
    QElapsedTimer FSince;
};

} // namespace vrn::testing
