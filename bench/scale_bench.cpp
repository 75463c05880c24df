// Typing into the Freeform Text Area of an editor window, shown at 200% and at 100%: a
// record of 20 pages of styled text (about 50,000 characters), the caret in its middle,
// each keystroke timed until the window has laid the text out and painted it.
//
//   scale_bench [KEYS]    (200 keystrokes when not given)
#include "BenchMain.h"
#include "DatafileDocument.h"
#include "EditorScaleController.h"
#include "EditorWindowController.h"
#include "EditorWindowOpening.h"
#include "FreeformTextView.h"
#include "RichTextRecords.h"
#include "ScriptedPresenter.h"
#include "UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr qsizetype TwentyPages = 20 * 400 * 6; // words a page, characters a word

// Milliseconds per keystroke, sorted.
std::vector<double> typeInto(FreeformTextView& text, int keys)
{
    std::vector<double> times;
    for (int key = 0; key < keys; ++key) {
        const QChar letter(u'a' + key % 26);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + key % 26, Qt::NoModifier, QString(letter));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A + key % 26, Qt::NoModifier, QString(letter));
        QElapsedTimer timer;
        timer.start();
        QApplication::sendEvent(&text, &press);
        QApplication::sendEvent(&text, &release);
        // The layout and the paint the keystroke asked for.
        QCoreApplication::processEvents();
        text.viewport()->repaint();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times;
}

} // namespace

int runBenchmark(int argc, char** argv)
{
    ScriptedPresenter presenter;
    Presenter::setShared(&presenter);
    QTemporaryDir folder;
    UserDefaults defaults(folder.path());
    UserDefaults::setStandardUserDefaults(&defaults);
    const int keys = std::max(argc > 1 ? std::atoi(argv[1]) : 200, 1);

    const QString path = folder.filePath(QStringLiteral("Generated.nv3"));
    if (!writeDatafileWithRichText(path, 1, TwentyPages))
        return 1;
    DatafileDocument document;
    EditorWindowController* editor = openInEditorWindow(document, path);
    if (!editor)
        return 1;
    editor->window()->resize(900, 700);
    FreeformTextView& text = *editor->freeformTextView();
    text.setFocus();
    const auto results = [&](int step) {
        editor->scaleController().applyScaleFactor(step);
        QTextCursor middle(text.document());
        middle.setPosition(text.document()->characterCount() / 2);
        text.setTextCursor(middle);
        QCoreApplication::processEvents();
        return typeInto(text, keys);
    };
    const std::vector<double> doubled = results(7);
    const std::vector<double> actual = results(EditorScaleController::ActualSizeStep);
    std::printf("%lld characters, %d keystrokes, median (worst) ms a keystroke: at 200%% %.2f "
                "(%.2f), at 100%% %.2f (%.2f)\n",
                qlonglong(text.document()->characterCount()), keys, doubled[doubled.size() / 2],
                doubled.back(), actual[actual.size() / 2], actual.back());

    document.close();
    DatafileDocument::setEditorFactory(nullptr);
    UserDefaults::setStandardUserDefaults(nullptr);
    Presenter::setShared(nullptr);
    return 0;
}
