#include "DialingSteps.h"

#include "DialingClock.h"
#include "Presenter.h"

DialingSteps::DialingSteps(QObject* parent) : QObject(parent) {}

void DialingSteps::addStep(Action action)
{
    m_steps.emplace_back(std::move(action));
}

void DialingSteps::addWait(double seconds)
{
    if (seconds > 0)
        m_steps.emplace_back(Wait{seconds});
}

void DialingSteps::addSpeakerDialing(const QString& number, double toneDialDelay)
{
    for (const QChar character : number) {
        const QString tone = toneNameForCharacter(character);
        if (tone.isEmpty())
            continue;
        // A missing sound or no audio device plays nothing; the pause stays.
        addStep([tone] {
            Presenter::shared().playSound(tone);
            return tone;
        });
        addWait(toneDialDelay);
    }
}

QString DialingSteps::toneNameForCharacter(QChar character)
{
    if (character < QLatin1Char('0') || character > QLatin1Char('9'))
        return {};
    QString name = QStringLiteral("n222s_0");
    name.back() = character;
    return name;
}

void DialingSteps::start()
{
    if (!m_waiting)
        runSteps();
}

void DialingSteps::cancel()
{
    ++m_run;
    m_steps.clear();
    m_waiting = false;
}

void DialingSteps::runSteps()
{
    // A step that starts the run again (its finishing ends a sheet that is begun anew)
    // leaves the steps to this loop.
    if (m_running)
        return;
    m_running = true;
    while (!m_steps.empty()) {
        Step step = std::move(m_steps.front());
        m_steps.pop_front();
        if (const auto* wait = std::get_if<Wait>(&step)) {
            m_trace.append(QString::number(wait->seconds));
            m_waiting = true;
            const quint64 run = m_run;
            m_running = false;
            DialingClock::shared().wait(wait->seconds, this, [this, run] {
                if (run != m_run)
                    return;
                m_waiting = false;
                runSteps();
            });
            return;
        }
        const QString done = std::get<Action>(step)();
        if (!done.isEmpty())
            m_trace.append(done);
    }
    m_running = false;
}
