#include "Presenter.h"
#include "QtPresenter.h"
#include "ScriptedPresenter.h"

#include <gtest/gtest.h>

TEST(PresenterTest, Shared_IsTheInstalledOneElseTheQtPresenter)
{
    Presenter& fallback = Presenter::shared();
    EXPECT_NE(dynamic_cast<QtPresenter*>(&fallback), nullptr);

    ScriptedPresenter scripted;
    Presenter::setShared(&scripted);
    EXPECT_EQ(&Presenter::shared(), &scripted);

    Presenter::setShared(nullptr);
    EXPECT_EQ(&Presenter::shared(), &fallback);
}

TEST(PresenterTest, SavePanelCompletedUrl_AddsTheFirstTypeOnlyToANameWithoutExtension)
{
    const struct {
        QString chosen;
        QStringList types;
        QString expected;
    } cases[] = {
        {"/tmp/Names", {"ndf", "txt"}, "/tmp/Names.ndf"},
        {"/tmp/Names.txt", {"ndf", "txt"}, "/tmp/Names.txt"},
        {"/tmp/Names.old", {"ndf"}, "/tmp/Names.old"},
        {"/tmp/dir.d/Names", {"ndf"}, "/tmp/dir.d/Names.ndf"},
        {"/tmp/.hidden", {"ndf"}, "/tmp/.hidden.ndf"},
        {"/tmp/Names", {}, "/tmp/Names"},
    };
    for (const auto& c : cases) {
        SavePanelRequest request;
        request.allowedFileTypes = c.types;
        EXPECT_EQ(request.completedUrl(QUrl::fromLocalFile(c.chosen)),
                  QUrl::fromLocalFile(c.expected))
            << c.chosen.toStdString();
    }
}
