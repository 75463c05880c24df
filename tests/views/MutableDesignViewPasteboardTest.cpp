// The design canvas's clipboard, pictures and drops.
#include "MutableDesignView.h"

#include "../graphics/GraphicTesting.h"

#include "ImageGraphic.h"
#include "Pasteboard.h"
#include "PlistOpenStepReader.h"
#include "RectangleGraphic.h"
#include "ScriptedPresenter.h"
#include "ShownColor.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

namespace {

constexpr double metresPerInch = 0.0254;

class MutableDesignViewPasteboardTest : public GraphicTest {
protected:
    void SetUp() override
    {
        GraphicTest::SetUp();
        Presenter::setShared(&m_presenter);
        for (MutableDesignView* canvas : {&m_canvas, &m_other}) {
            canvas->resize(600, 400);
            canvas->setUndoManager(&m_undo);
        }
        m_canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_canvas));
        QGuiApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        Presenter::setShared(nullptr);
        GraphicTest::TearDown();
    }

    std::shared_ptr<RectangleGraphic> rectangle(MutableDesignView& canvas, const QRectF& bounds)
    {
        auto graphic = std::make_shared<RectangleGraphic>();
        graphic->setBounds(bounds);
        canvas.insertGraphic(graphic, 0);
        return graphic;
    }
    void forgetUndo()
    {
        QCoreApplication::processEvents();
        m_undo.removeAllActions();
    }
    // One user action, closed as the event loop closes it.
    void pasteInto(MutableDesignView& canvas)
    {
        canvas.paste();
        QCoreApplication::processEvents();
    }
    const GraphicList& design() const { return *m_canvas.graphics(); }
    void putOnClipboard(const QString& type, const QByteArray& bytes)
    {
        auto* data = new QMimeData;
        data->setData(type, bytes);
        Pasteboard::setData(data);
    }
    void drop(QMimeData& data, const QPointF& point)
    {
        QDragEnterEvent enter(point.toPoint(), Qt::CopyAction | Qt::MoveAction, &data,
                              Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_canvas, &enter);
        QDropEvent dropped(point, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                           Qt::NoModifier);
        QCoreApplication::sendEvent(&m_canvas, &dropped);
        QCoreApplication::processEvents();
    }
    // A picture of that many pixels at that resolution, saved as PNG.
    QString pictureFile(const QString& name, QSize pixels, double dotsPerInch)
    {
        QImage image(pixels, QImage::Format_ARGB32);
        image.fill(Qt::red);
        image.setDotsPerMeterX(int(std::lround(dotsPerInch / metresPerInch)));
        image.setDotsPerMeterY(int(std::lround(dotsPerInch / metresPerInch)));
        const QString path = m_files.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }

    ScriptedPresenter m_presenter;
    UndoManager m_undo;
    MutableDesignView m_canvas;
    MutableDesignView m_other;
    QTemporaryDir m_files;
};

} // namespace

TEST_F(MutableDesignViewPasteboardTest, RepeatedPastes_StepTenPointsDownAndRight_EachSelectedAlone)
{
    const auto shape = rectangle(m_canvas, {20, 30, 40, 50});
    m_canvas.selectGraphic(shape);
    m_canvas.copy();
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        pasteInto(m_canvas);
        ASSERT_EQ(design().size(), n + 1);
        EXPECT_EQ(design().front()->bounds(), QRectF(20 + 10 * n, 30 + 10 * n, 40, 50));
        EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{design().front()});
        EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Paste"));
    }
    EXPECT_EQ(shape->bounds(), QRectF(20, 30, 40, 50));
    // Undo takes back the last paste only.
    m_undo.undo();
    EXPECT_EQ(design().size(), 3);
    EXPECT_EQ(design().front()->bounds(), QRectF(40, 50, 40, 50));
}

TEST_F(MutableDesignViewPasteboardTest, CopyInAnotherCanvas_FirstPasteLandsOnTheCopiedPlace)
{
    const auto shape = rectangle(m_other, {20, 30, 40, 50});
    m_other.selectGraphic(shape);
    m_other.copy();
    pasteInto(m_canvas);
    ASSERT_EQ(design().size(), 1);
    EXPECT_EQ(design().front()->bounds(), QRectF(20, 30, 40, 50));
    EXPECT_NE(design().front(), shape);
    pasteInto(m_canvas);
    EXPECT_EQ(design().front()->bounds(), QRectF(30, 40, 40, 50));
    // Another program's contents, and then ours again: a fresh start.
    QGuiApplication::clipboard()->setText(QStringLiteral("elsewhere"));
    m_other.copy();
    pasteInto(m_canvas);
    EXPECT_EQ(design().front()->bounds(), QRectF(20, 30, 40, 50));
}

TEST_F(MutableDesignViewPasteboardTest, PastedGraphicDragged_NextPasteFollowsTheDrag)
{
    const auto shape = rectangle(m_canvas, {20, 30, 40, 50});
    m_canvas.selectGraphic(shape);
    m_canvas.copy();
    pasteInto(m_canvas);
    const std::shared_ptr<Graphic> pasted = design().front();
    // Pressed inside the pasted one, still selected, and dragged 40 to the right.
    m_canvas.mouseDown({QPointF(50, 60), Qt::NoModifier, 1});
    m_canvas.mouseDragged({QPointF(70, 60), Qt::NoModifier, 1});
    m_canvas.mouseDragged({QPointF(90, 60), Qt::NoModifier, 1});
    m_canvas.mouseUp({QPointF(90, 60), Qt::NoModifier, 1});
    ASSERT_EQ(pasted->bounds(), QRectF(70, 40, 40, 50));
    EXPECT_EQ(m_canvas.pasteCascadeDelta(), QPointF(50, 10));
    pasteInto(m_canvas);
    EXPECT_EQ(design().front()->bounds(), QRectF(120, 50, 40, 50));
}

TEST_F(MutableDesignViewPasteboardTest, OneRectangle_ClipboardTextHoldsTheListAndVersionOne)
{
    const auto shape = rectangle(m_canvas, {20, 30, 40, 50});
    m_canvas.selectGraphic(shape);
    m_canvas.copy();
    const QMimeData* data = Pasteboard::data();
    ASSERT_TRUE(data);
    const QByteArray text = data->data(Pasteboard::DesignPboardType);
    EXPECT_TRUE(std::all_of(text.cbegin(), text.cend(), [](char c) { return uchar(c) < 0x80; }));
    const PlistReadResult read = PlistOpenStepReader::read(text);
    ASSERT_TRUE(read.ok()) << text.toStdString();
    const PlistDictionary& top = *read.value.asDictionary();
    EXPECT_EQ(top.keys().size(), 2);
    EXPECT_EQ(top.value(QStringLiteral("DrawDocumentVersion")), PlistValue(QStringLiteral("1")));
    const PlistValue list = top.value(QStringLiteral("GraphicsList"));
    ASSERT_TRUE(list.isArray());
    ASSERT_EQ(list.asArray()->size(), 1);
    EXPECT_EQ(list.asArray()->at(0), PlistValue(shape->propertyListRepresentation()));
    // The picture goes beside it for other programs.
    EXPECT_TRUE(data->hasImage());
    const QImage tiff = QImage::fromData(data->data(Pasteboard::TiffType), "TIFF");
    EXPECT_EQ(tiff.size(), shape->drawingBounds().size().toSize());
}

TEST_F(MutableDesignViewPasteboardTest, ClipboardCount_RisesAtEveryChange_OursAndOthers)
{
    const quint64 start = Pasteboard::changeCount();
    QGuiApplication::clipboard()->setText(QStringLiteral("a"));
    EXPECT_EQ(Pasteboard::changeCount(), start + 1);
    const auto shape = rectangle(m_canvas, {20, 30, 40, 50});
    m_canvas.selectGraphic(shape);
    m_canvas.copy();
    EXPECT_EQ(Pasteboard::changeCount(), start + 2);
    EXPECT_EQ(m_canvas.pasteboardChangeCount(), start + 2);
    EXPECT_EQ(m_canvas.pasteCascadeNumber(), 1);
}

TEST_F(MutableDesignViewPasteboardTest, UnusableClipboardData_PastesNothingAndNamesNothing)
{
    const QByteArray rectangleEntry =
        MutableDesignView::drawDocumentDataForGraphics({std::make_shared<RectangleGraphic>()});
    const std::vector<std::pair<const char*, QByteArray>> cases{
        {"not a property list", "{ GraphicsList = ("},
        {"not ASCII", "{ GraphicsList = (); DrawDocumentVersion = \"caf\xc3\xa9\"; }"},
        {"an array", "(a, b)"},
        {"no list", "{ DrawDocumentVersion = 1; }"},
        {"a list of strings", "{ GraphicsList = (Rectangle, 12); }"},
        {"an unknown class", "{ GraphicsList = ({ Class = Teapot; }); }"},
        {"empty", ""},
    };
    const auto shape = rectangle(m_canvas, {20, 30, 40, 50});
    m_canvas.selectGraphic(shape);
    forgetUndo();
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        putOnClipboard(Pasteboard::DesignPboardType, bytes);
        pasteInto(m_canvas);
        EXPECT_EQ(design().size(), 1);
        EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{shape});
        EXPECT_FALSE(m_undo.canUndo());
    }
    // Of the entries, those that make a graphic are pasted.
    putOnClipboard(Pasteboard::DesignPboardType,
                   "{ GraphicsList = ({ Class = Teapot; }, " +
                       rectangleEntry.mid(rectangleEntry.indexOf("{\n            ")) );
    EXPECT_EQ(MutableDesignView::graphicsFromDrawDocumentDictionary(
                  *MutableDesignView::drawDocumentDictionaryFromData(
                      Pasteboard::data()->data(Pasteboard::DesignPboardType)))
                  .size(),
              1);
}

TEST_F(MutableDesignViewPasteboardTest, Cut_CopiesRemovesAndIsOneStep)
{
    const auto shape = rectangle(m_canvas, {20, 30, 40, 50});
    m_canvas.selectGraphic(shape);
    forgetUndo();
    m_canvas.cut();
    QCoreApplication::processEvents();
    EXPECT_TRUE(design().isEmpty());
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Cut"));
    // What was cut comes back where it was: a paste into the canvas it came from.
    pasteInto(m_canvas);
    ASSERT_EQ(design().size(), 1);
    EXPECT_EQ(design().front()->bounds(), QRectF(30, 40, 40, 50));
    m_undo.undo();
    m_undo.undo();
    ASSERT_EQ(design().size(), 1);
    EXPECT_EQ(design().front(), shape);
}

TEST_F(MutableDesignViewPasteboardTest, PastedPicture_IsItsPixelSize_WithItsOwnSizeAsOriginal)
{
    QImage picture(300, 200, QImage::Format_ARGB32);
    picture.fill(Qt::blue);
    picture.setDotsPerMeterX(int(std::lround(144 / metresPerInch)));
    picture.setDotsPerMeterY(int(std::lround(144 / metresPerInch)));
    auto* data = new QMimeData;
    data->setImageData(picture);
    Pasteboard::setData(data);
    rectangle(m_canvas, {20, 30, 40, 50});
    pasteInto(m_canvas);
    ASSERT_EQ(design().size(), 2);
    auto image = std::dynamic_pointer_cast<ImageGraphic>(design().front());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bounds().size(), QSizeF(300, 200));
    EXPECT_EQ(image->originalBounds(), QRectF(0, 0, 300, 200));
    EXPECT_NEAR(image->originalSize().width(), 150, 0.01);
    EXPECT_NEAR(image->originalSize().height(), 100, 0.01);
    EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{image});
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Paste"));

    // Bytes that are no picture make nothing.
    forgetUndo();
    putOnClipboard(QStringLiteral("image/png"), "not a picture");
    pasteInto(m_canvas);
    EXPECT_EQ(design().size(), 2);
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(MutableDesignViewPasteboardTest, PastedFileName_MakesItsPictureAtFiftyFifty)
{
    const QString path = pictureFile(QStringLiteral("one.png"), {30, 20}, 72);
    auto* data = new QMimeData;
    data->setUrls({QUrl::fromLocalFile(path)});
    Pasteboard::setData(data);
    pasteInto(m_canvas);
    ASSERT_EQ(design().size(), 1);
    EXPECT_EQ(design().front()->bounds(), QRectF(50, 50, 30, 20));
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Paste"));
}

TEST_F(MutableDesignViewPasteboardTest, DroppedFiles_OneImageLandsAtTheDropPoint_OthersNothing)
{
    rectangle(m_canvas, {300, 300, 40, 50});
    const QString big = pictureFile(QStringLiteral("big.png"), {80, 60}, 144);
    const QString small = pictureFile(QStringLiteral("small.png"), {10, 10}, 72);
    QFile text(m_files.filePath(QStringLiteral("notes.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("words");
    text.close();
    const QString unreadable = m_files.filePath(QStringLiteral("broken.png"));
    QFile broken(unreadable);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a png");
    broken.close();

    for (const QStringList& ignored :
         {QStringList{big, small}, QStringList{text.fileName()}, QStringList{unreadable}}) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : ignored)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        EXPECT_EQ(m_canvas.dragOperationForDraggingInfo(&data, {100, 80}), Qt::CopyAction);
        drop(data, {100, 80});
        EXPECT_EQ(design().size(), 1);
    }

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(big)});
    drop(data, {100, 80});
    ASSERT_EQ(design().size(), 2);
    auto image = std::dynamic_pointer_cast<ImageGraphic>(design().front());
    ASSERT_TRUE(image);
    // 80 x 60 pixels at 144 dots an inch are 40 x 30 points.
    EXPECT_EQ(image->bounds(), QRectF(100, 80, 40, 30));
    EXPECT_EQ(image->originalSize(), QSizeF(40, 30));
    EXPECT_EQ(m_canvas.selectedGraphics(), GraphicList{image});
}

TEST_F(MutableDesignViewPasteboardTest, DroppedColour_FillsTheGraphicOpaqueInOneStep)
{
    const auto shape = rectangle(m_canvas, {20, 30, 100, 80});
    forgetUndo();
    QMimeData colour;
    colour.setColorData(QColor(255, 0, 0, 64));
    EXPECT_EQ(m_canvas.dragOperationForDraggingInfo(&colour, {300, 300}), Qt::IgnoreAction);
    drop(colour, {300, 300});
    EXPECT_FALSE(shape->drawsFill());
    EXPECT_FALSE(m_undo.canUndo());

    EXPECT_EQ(m_canvas.dragOperationForDraggingInfo(&colour, {50, 60}), Qt::MoveAction);
    drop(colour, {50, 60});
    ASSERT_TRUE(shape->fillColor());
    EXPECT_EQ(shownColor(*shape->fillColor()), QColor(255, 0, 0));
    EXPECT_TRUE(shape->drawsFill());
    EXPECT_EQ(m_undo.undoActionName(), QStringLiteral("Set Fill Color"));
    m_undo.undo();
    EXPECT_FALSE(shape->drawsFill());
    EXPECT_FALSE(m_undo.canUndo());
}

TEST_F(MutableDesignViewPasteboardTest, DraggedData_TheCanvasTakesOnlyItsTypes)
{
    QMimeData text;
    text.setText(QStringLiteral("words"));
    EXPECT_EQ(m_canvas.dragOperationForDraggingInfo(&text, {10, 10}), Qt::IgnoreAction);
    QMimeData picture;
    picture.setImageData(QImage(4, 4, QImage::Format_ARGB32));
    EXPECT_EQ(m_canvas.dragOperationForDraggingInfo(&picture, {10, 10}), Qt::CopyAction);
    drop(picture, {10, 10});
    EXPECT_EQ(design().size(), 1);
}

TEST_F(MutableDesignViewPasteboardTest, NoGraphics_NoPicture)
{
    EXPECT_TRUE(MutableDesignView::imageForGraphics({}).isNull());
    EXPECT_TRUE(MutableDesignView::TIFFRepresentationForGraphics({}).isEmpty());
    const quint64 before = Pasteboard::changeCount();
    m_canvas.copy();
    EXPECT_EQ(Pasteboard::changeCount(), before);
}
