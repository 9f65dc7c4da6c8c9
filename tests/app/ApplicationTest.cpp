// SPDX-License-Identifier: MIT
#include "Application.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TApplication* g_app = nullptr;

TEST(Application, TitleIsKeptApartFromWindowCaptions)
{
    g_app->SetTitle(QStringLiteral("Quillon"));
    QWidget w;
    w.setWindowTitle(QStringLiteral("Main"));
    EXPECT_EQ(g_app->Title(), QStringLiteral("Quillon"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Main"));
    EXPECT_TRUE(QGuiApplication::applicationDisplayName().isEmpty()
        || !QGuiApplication::applicationDisplayName().contains(QStringLiteral("Quillon")));
}

TEST(Application, EscapedExceptionIsReportedAndTheLoopGoesOn)
{
    QStringList reports;
    g_app->OnException = [&](const QString& m) { reports << m; };
    QWidget main;
    QPushButton button(&main);
    QObject::connect(
        &button, &QPushButton::clicked, [] { throw std::runtime_error("Failed to set data for 'path'"); });
    g_app->SetMainForm(&main);
    int afterwards = 0;
    QTimer::singleShot(0, &button, [&] { button.click(); });
    QTimer::singleShot(10, &main, [&] { ++afterwards; });
    QTimer::singleShot(20, &main, [&] { main.close(); });
    g_app->Run(); // ends because the main form closed
    EXPECT_EQ(reports, QStringList { QStringLiteral("Failed to set data for 'path'") });
    EXPECT_EQ(afterwards, 1);
    EXPECT_TRUE(g_app->Terminated());
    g_app->OnException = nullptr;
}

TEST(Application, OtherWindowsClosingDoNotEndTheLoop)
{
    QWidget main;
    QWidget other;
    g_app->SetMainForm(&main);
    other.show();
    bool stillRunning = false;
    QTimer::singleShot(0, &other, [&] { other.close(); });
    QTimer::singleShot(30, &main, [&] {
        stillRunning = true;
        main.close();
    });
    g_app->Run();
    EXPECT_TRUE(stillRunning);
}

TEST(Application, RefusedCloseKeepsTheLoop)
{
    class Stubborn : public QWidget {
    public:
        int refusals = 1;

    protected:
        void closeEvent(QCloseEvent* e) override
        {
            if (refusals-- > 0)
                e->ignore();
        }
    } main;
    g_app->SetMainForm(&main);
    int closes = 0;
    QTimer::singleShot(0, &main, [&] {
        ++closes;
        main.close();
    });
    QTimer::singleShot(20, &main, [&] {
        ++closes;
        main.close();
    });
    g_app->Run();
    EXPECT_EQ(closes, 2);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    g_app = &app;
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    g_app = nullptr;
    return result;
}
