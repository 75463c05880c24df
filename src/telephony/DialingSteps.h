#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <variant>

// The steps of one dialing run in order: actions, each run as soon as its turn comes,
// and waits on the dialing clock between them. Nothing blocks: a wait hands control back
// to the event loop, and cancelling drops every step not yet run, a pending wait's
// included. What each step did goes into the trace, in order.
class DialingSteps : public QObject {
    Q_OBJECT

public:
    // Acts and says what it did for the trace; an empty answer leaves no line.
    using Action = std::function<QString()>;

    explicit DialingSteps(QObject* parent = nullptr);

    void addStep(Action action);
    // A wait of no time, or less, is none.
    void addWait(double seconds);
    // Each digit's tone ("n222s_0" .. "n222s_9") played in turn, with the delay after each;
    // anything else is skipped without a pause.
    void addSpeakerDialing(const QString& number, double toneDialDelay);

    // Runs the steps up to the first wait; the rest follow as the waits end. Nothing while
    // a wait is pending: steps added meanwhile run after it.
    void start();
    void cancel();
    // Whether steps are left or a wait is pending.
    bool isRunning() const { return m_waiting || !m_steps.empty(); }

    // A line of the trace for something done outside the steps.
    void note(const QString& line) { m_trace.append(line); }
    QStringList trace() const { return m_trace; }
    void clearTrace() { m_trace.clear(); }

    // The tone's name for the character: "n222s_0" with its last character the digit;
    // empty for anything but an ASCII digit.
    static QString toneNameForCharacter(QChar character);

private:
    struct Wait {
        double seconds;
    };
    using Step = std::variant<Action, Wait>;

    void runSteps();

    std::deque<Step> m_steps;
    QStringList m_trace;
    // Tells a wait that ends after a cancel that it is stale.
    quint64 m_run = 0;
    bool m_waiting = false;
    bool m_running = false;
};
