// The macro editor on the mouse page: recording inside the window (Qt events on the offscreen
// platform; xdotool under Xvfb), editing a delay, assigning the macro to a button and the macro
// image in the simulated mouse's memory; the page's messages; evdev recording through uinput.
#include "MousePageFixture.h"

#include "app/CApplication.h"
#include "macros/EvdevInputReader.h"
#include "macros/qt/CMacroControlUI.h"
#include "macros/qt/CMacroInputCapture.h"
#include "profiles/JsonFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace nq;
using nqtest::Bytes;

namespace {

class MacroEditorPage : public nqtest::MousePageTest {
protected:
    void SetUp() override
    {
        // Only the window's own events: the input nodes of the machine stay out of these tests.
        pages::CMacroInputCapture::SetEvdevAllowed(false);
        MousePageTest::SetUp();
        editor = page->MacroEditor();
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override
    {
        pages::CMacroInputCapture::SetEvdevAllowed(true);
        MousePageTest::TearDown();
    }
    QAbstractButton* Button(const char* name) { return qobject_cast<QAbstractButton*>(editor->Control(name)); }
    QString RowName(int row)
    {
        QWidget* w = editor->ActionList()->itemWidget(editor->ActionList()->item(row));
        return w ? w->findChild<QLabel*>("macro_name_label")->text() : QString();
    }
    QString RowState(int row)
    {
        QWidget* w = editor->ActionList()->itemWidget(editor->ActionList()->item(row));
        return w ? w->findChild<QLabel*>("macro_state_label")->text() : QString();
    }
    // A new macro, recording with a fixed delay of 0 so that the bytes are known.
    void StartFixedRecording()
    {
        page->Mouse().SetPageState(3);
        Button("macro_btn_name_add")->click();
        ASSERT_EQ(editor->NameList()->count(), 1);
        ASSERT_EQ(editor->NameList()->currentItem()->text(), "macro_1");
        qobject_cast<QCheckBox*>(editor->Control("macro_check_time"))->setChecked(true);
        qobject_cast<QLineEdit*>(editor->Control("macro_fixed_time_edit"))->setText("0");
        Button("macro_btn_starredio")->click();
        ASSERT_TRUE(editor->IsRecording());
        EXPECT_FALSE(editor->Control("macro_name_tab")->isEnabled());
        EXPECT_TRUE(editor->Control("macro_btn_stopredio")->isVisibleTo(editor));
    }
    // What the recording of Ctrl+C and a left click must give, then: the delay after the Ctrl
    // release edited to 100, the macro assigned to the forward button and saved to the mouse.
    void CheckRecordingAndSave()
    {
        EXPECT_FALSE(editor->IsRecording());
        ASSERT_EQ(editor->ActionList()->count(), 6);
        const QStringList names = {"Left Ctrl", "C", "C", "Left Ctrl", "Left click", "Left click"};
        const QStringList states = {"press", "press", "release", "release", "press", "release"};
        for (int i = 0; i < 6; ++i) {
            EXPECT_EQ(RowName(i), names[i]) << i;
            EXPECT_EQ(RowState(i), states[i]) << i;
        }
        QLineEdit* delay = editor->DelayEdit(3);
        ASSERT_NE(delay, nullptr);
        delay->selectAll();
        QTest::keyClicks(delay, "100");
        QTest::keyClick(delay, Qt::Key_Return); // leaving the edit saves
        const std::string guid = editor->Model().Macros()[0].guid;
        const Json::Value file = ReadJsonFile(folders->UserFolder() + guid + ".mac");
        ASSERT_EQ(file["Events"].size(), 6u);
        EXPECT_EQ(file["Events"][3]["Delay"].asString(), "100");
        EXPECT_EQ(file["Events"][0]["Type"].asInt(), 9);

        page->Mouse().SetPageState(2);
        Get<QAbstractButton>("key_3")->click(); // forward
        auto* function = Get<QComboBox>("keyset_function_combo");
        function->setCurrentIndex(function->findData("9"));
        ASSERT_EQ(Get<QComboBox>("keyset_macro_combo")->count(), 1);
        Get<QComboBox>("keyset_macro_combo")->setCurrentIndex(0);
        Get<QComboBox>("keyset_macro_over_combo")->setCurrentIndex(0);
        ASSERT_EQ(page->Mouse().GetKeyTable()[3].current, KeyAssignment::Function(0x70, 0, 0));
        Get<QAbstractButton>("key_butt_prosave")->click();

        const Bytes image = {0xAA, 0x55, 46, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x12, 0x00, 6, 0, 0, 0,
                             0, 0, 0x89, 0x01, 0, 0, 0x8A, 0x06, 0, 0, 0x0A, 0x06, 100, 0, 0x09, 0x01,
                             0, 0, 0x81, 0x01, 0, 0, 0x01, 0x01};
        const Bytes macros = Area("macros");
        ASSERT_GE(macros.size(), image.size());
        EXPECT_EQ(Bytes(macros.begin(), macros.begin() + long(image.size())), image);
        const size_t slot = size_t(page->Mouse().KeyIndexMap()[3]);
        const Bytes keymap = Area("keymap");
        EXPECT_EQ(Bytes(keymap.begin() + long(3 * slot), keymap.begin() + long(3 * slot + 3)), (Bytes{0x70, 0, 0}));
    }

    pages::CMacroControlUI* editor = nullptr;
};

TEST_F(MacroEditorPage, RecordsInTheWindowAndTheMouseGetsTheImage)
{
    ConnectPage();
    window->show();
    StartFixedRecording();
    QWidget* focus = editor->Control("macro_btn_stopredio");
    QTest::keyPress(focus, Qt::Key_Control);
    QTest::keyPress(focus, Qt::Key_C);
    QTest::keyPress(focus, Qt::Key_C); // an auto-repeat arrives as a second press
    QTest::keyRelease(focus, Qt::Key_C);
    QTest::keyRelease(focus, Qt::Key_Control);
    QTest::keyClick(focus, Qt::Key_CapsLock); // the lock keys are not recorded
    QTest::mouseClick(editor->Control("macro_events_title"), Qt::LeftButton);
    // The click on the stop button ends the recording and is not recorded.
    QTest::mouseClick(editor->Control("macro_btn_stopredio"), Qt::LeftButton);
    EXPECT_TRUE(editor->Control("macro_name_tab")->isEnabled());
    CheckRecordingAndSave();
}

TEST_F(MacroEditorPage, RecordsWhatXdotoolTypesUnderXvfb)
{
    if (QGuiApplication::platformName() != "xcb") {
        if (qEnvironmentVariableIsSet("NQ501_MACRO_X11"))
            FAIL() << "the X11 run did not get the xcb platform";
        if (QStandardPaths::findExecutable("xvfb-run").isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty())
            GTEST_SKIP() << "xvfb-run and xdotool are needed (scripts/deps.sh installs them)";
        // The same test again in a process of its own on an X server.
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start("xvfb-run", {"-a", "env", "QT_QPA_PLATFORM=xcb", "NQ501_MACRO_X11=1",
                               QCoreApplication::applicationFilePath(),
                               "--gtest_filter=MacroEditorPage.RecordsWhatXdotoolTypesUnderXvfb"});
        ASSERT_TRUE(run.waitForFinished(180000));
        const QByteArray output = run.readAll();
        EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }
    ConnectPage();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    StartFixedRecording();
    const QString wid = QString::number(window->winId());
    auto xdotool = [](const QStringList& args) { return QProcess::execute("xdotool", args); };
    ASSERT_EQ(xdotool({"windowfocus", "--sync", wid}), 0);
    ASSERT_EQ(xdotool({"keydown", "ctrl", "keydown", "c", "keyup", "c", "keyup", "ctrl"}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(editor->ActionList()->count(), 4, 10000);
    const QPoint title = editor->Control("macro_events_title")->mapTo(window.get(), QPoint(5, 5));
    ASSERT_EQ(xdotool({"mousemove", "--window", wid, QString::number(title.x()), QString::number(title.y()), "click", "1"}), 0);
    QTRY_COMPARE_WITH_TIMEOUT(editor->ActionList()->count(), 6, 10000);
    QWidget* stop = editor->Control("macro_btn_stopredio");
    const QPoint centre = stop->mapTo(window.get(), stop->rect().center());
    ASSERT_EQ(xdotool({"mousemove", "--window", wid, QString::number(centre.x()), QString::number(centre.y()), "click", "1"}), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!editor->IsRecording(), 10000);
    CheckRecordingAndSave();
}

TEST_F(MacroEditorPage, RowMenuAndMoveButtonsInsertAfterTheSelectedRow)
{
    page->Mouse().SetPageState(3);
    Button("macro_btn_name_add")->click();
    for (const char* item : {"left_down", "left_up", "right_down", "right_up"})
        editor->OnMenuItem(item);
    editor->ActionList()->setCurrentRow(3);
    editor->OnMenuItem("left_click");
    ASSERT_EQ(editor->ActionList()->count(), 6);
    EXPECT_EQ(RowName(4) + "/" + RowState(4), "Left click/press");
    EXPECT_EQ(RowName(5) + "/" + RowState(5), "Left click/release");
    EXPECT_EQ(editor->DelayEdit(4)->text(), "50");
    EXPECT_EQ(editor->ActionList()->currentRow(), 5);

    qobject_cast<QLineEdit*>(editor->Control("mouse_x_left_edit"))->setText("300");
    Button("macro_inset_moveleftkey_btn")->click();
    EXPECT_EQ(RowName(6) + "/" + RowState(6), "Move left/44");
    // Every row change is saved at once.
    const Json::Value file = ReadJsonFile(folders->UserFolder() + editor->Model().Macros()[0].guid + ".mac");
    ASSERT_EQ(file["Events"].size(), 7u);
    EXPECT_EQ(file["Events"][6]["Button"].asInt(), 44);
    EXPECT_EQ(file["Events"][6]["Action"].asString(), "down");

    editor->ActionList()->setCurrentRow(6);
    Button("macro_btn_uptop")->click();
    EXPECT_EQ(RowName(0), "Move left");
    Button("macro_btn_deleteall")->click();
    EXPECT_EQ(editor->ActionList()->count(), 0);
    EXPECT_EQ(ReadJsonFile(folders->UserFolder() + editor->Model().Macros()[0].guid + ".mac")["Events"].size(), 0u);
}

TEST_F(MacroEditorPage, RecordingBeforeTheSelectedRowShowsTheRowsInPlace)
{
    page->Mouse().SetPageState(3);
    Button("macro_btn_name_add")->click();
    for (const char* item : {"left_click", "right_click"})
        editor->OnMenuItem(item);
    editor->ActionList()->setCurrentRow(2);
    editor->OnMenuItem("redio_previous_ignore_time");
    ASSERT_TRUE(editor->IsRecording());
    QWidget* focus = editor->Control("macro_btn_stopredio");
    for (Qt::Key key : {Qt::Key_A, Qt::Key_B}) {
        QTest::keyPress(focus, key);
        QTest::keyRelease(focus, key);
    }
    editor->StopRecording();
    const QStringList expected = {"Left click", "Left click", "A", "A", "B", "B", "Right click", "Right click"};
    ASSERT_EQ(editor->ActionList()->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_EQ(RowName(i), expected[i]) << i;
    EXPECT_EQ(editor->ActionList()->currentRow(), 6) << "the row that was selected follows the new ones";
    // Typing into a delay after the insertions edits the row it stands in.
    QLineEdit* delay = editor->DelayEdit(5);
    delay->selectAll();
    QTest::keyClicks(delay, "07");
    QTest::keyClick(delay, Qt::Key_Return);
    EXPECT_EQ(editor->Model().Rows()[5].delayText, "7");
    EXPECT_EQ(delay->text(), "7");
}

TEST_F(MacroEditorPage, MessagesForTheErrorPaths)
{
    ConnectPage();
    {
        // Fifty macros: adding one more is refused with a message, the list stays.
        std::vector<std::string> names;
        for (int i = 0; i < 50; ++i)
            names.push_back("m" + std::to_string(i));
        folders->WriteMacroList(names);
        editor->LoadList();
        nqtest::MessageBoxWatcher boxes;
        Button("macro_btn_name_add")->click();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains("50 macros"));
        EXPECT_EQ(editor->NameList()->count(), 50);
    }
    {
        nqtest::MessageBoxWatcher boxes;
        editor->SelectMacro(0);
        qobject_cast<QLineEdit*>(editor->Control("macro_edit_macroname"))->setText("  ");
        Button("macro_btn_name_edit")->click();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains("name"));
    }
    {
        // The macros do not fit the mouse: the user is told, the keys are not written.
        folders->WriteMacroList({"big"});
        nqtest::MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 1000, 1);
        editor->LoadList();
        page->Mouse().SetPageState(2);
        Get<QAbstractButton>("key_3")->click();
        auto* function = Get<QComboBox>("keyset_function_combo");
        function->setCurrentIndex(function->findData("9"));
        Get<QComboBox>("keyset_macro_combo")->setCurrentIndex(0);
        ClearSent();
        nqtest::MessageBoxWatcher boxes;
        Get<QAbstractButton>("key_butt_prosave")->click();
        ASSERT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(boxes.Texts()[0].contains("do not fit"));
        EXPECT_TRUE(Control("key_butt_prosave")->isEnabled()) << "nothing is reported as saved";
        for (const auto& report : Sent())
            EXPECT_NE(report.command, 9) << "no key table write";
    }
    {
        // The mouse refuses the image: the user is told, the keys are not written.
        nqtest::MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 3, 1);
        ClearSent();
        ASSERT_EQ(Fw({"refuse", "ff", "3"}), "ok"); // the image itself
        nqtest::MessageBoxWatcher boxes;
        Get<QAbstractButton>("key_butt_prosave")->click();
        EXPECT_EQ(boxes.Texts().size(), 1);
        EXPECT_TRUE(Control("key_butt_prosave")->isEnabled()) << "nothing is reported as saved";
        for (const auto& report : Sent())
            EXPECT_NE(report.command, 9) << "no key table write";
    }
}

TEST_F(MacroEditorPage, DeletingAMacroAKeyPlaysGivesTheKeyItsDefaultOnTheMouse)
{
    folders->WriteMacroList({"a", "b"});
    nqtest::MouseDataFolders::WriteEventFile(folders->UserFolder() + "m0.mac", 2, 1);
    nqtest::MouseDataFolders::WriteEventFile(folders->UserFolder() + "m1.mac", 3, 2);
    ConnectPage();
    editor->LoadList();
    auto keys = page->Mouse().GetKeyTable();
    const KeyAssignment forward = keys[3].defaults;
    keys[3].current = KeyAssignment::Function(0x70, 0, 1);
    keys[4].current = KeyAssignment::Function(0x71, 1, 3);
    page->Mouse().SetKeyTable(keys);
    editor->SelectMacro(0);
    nqtest::MessageBoxWatcher boxes; // confirms both questions
    Button("macro_btn_name_sub")->click();
    EXPECT_EQ(boxes.Texts().size(), 2);
    EXPECT_EQ(editor->NameList()->count(), 1);
    EXPECT_EQ(editor->NameList()->currentItem()->text(), "b");
    EXPECT_EQ(Get<QComboBox>("keyset_macro_combo")->count(), 1);
    EXPECT_EQ(page->Mouse().GetKeyTable()[3].current, forward);
    EXPECT_EQ(page->Mouse().GetKeyTable()[4].current, KeyAssignment::Function(0x71, 0, 3));
    // The pruned keys and the remaining macro went to the mouse at once.
    const Bytes keymap = Area("keymap");
    const size_t slot = size_t(page->Mouse().KeyIndexMap()[4]);
    EXPECT_EQ(Bytes(keymap.begin() + long(3 * slot), keymap.begin() + long(3 * slot + 3)), (Bytes{0x71, 0, 3}));
    const Bytes macros = Area("macros");
    EXPECT_EQ(Bytes(macros.begin(), macros.begin() + 6), (Bytes{0xAA, 0x55, 16 + 6 + 12, 0, 1, 0}));
}

TEST_F(MacroEditorPage, TellsWhetherRecordingSeesOtherWindows)
{
    const auto* label = qobject_cast<QLabel*>(editor->Control("macro_record_source_text"));
    ASSERT_NE(label, nullptr);
    // Input nodes are off in these tests: only in-window recording.
    EXPECT_TRUE(label->property("windowOnly").toBool());
    EXPECT_TRUE(label->text().contains("only while this window has the focus"));
}

// A picture of the macro tab for review: runs only when NQ501_SCREENSHOT names the output file
// (scripts/screenshot.sh); writes <name>-macros.png.
TEST_F(MacroEditorPage, Screenshot)
{
    const QString target = qEnvironmentVariable("NQ501_SCREENSHOT");
    if (target.isEmpty())
        GTEST_SKIP() << "set NQ501_SCREENSHOT to write the picture";
    ASSERT_TRUE(app::CApplication::ApplyStyleSheet());
    folders->WriteMacroList({"Reload", "Sprint", "Build wall"});
    Json::Value events;
    const int rows[][4] = {{9, 1, 1, 0}, {10, 0x06, 1, 40}, {10, 0x06, 0, 30}, {9, 1, 0, 100}, {1, 1, 1, 60},
                           {1, 1, 0, 20}, {4, 30, 1, 10}, {5, 12, 0, 0}};
    for (const auto& r : rows) {
        Json::Value event;
        event["Type"] = r[0];
        event["Button"] = r[1];
        event["Action"] = r[2] ? "down" : "up";
        event["Delay"] = std::to_string(r[3]);
        events["Events"].append(event);
    }
    nqtest::MouseDataFolders::WriteJson(folders->UserFolder() + "m0.mac", events);
    ConnectPage();
    editor->LoadList();
    editor->SelectMacro(0);
    page->Mouse().SetPageState(3);
    // The page as the main window shows it (1000 x 640 less its frame).
    window->resize(std::max(page->minimumSizeHint().width(), 960), 560);
    window->show();
    QTest::qWait(100);
    const QFileInfo info(target);
    const QString file = info.path() + "/" + info.completeBaseName() + "-macros.png";
    ASSERT_TRUE(window->grab().save(file)) << file.toStdString();
    std::printf("%s\n", qPrintable(file));
}

// ---- evdev through a virtual input device ----

class UinputKeyboard {
public:
    UinputKeyboard()
    {
        m_fd = open("/dev/uinput", O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0)
            return;
        ioctl(m_fd, UI_SET_EVBIT, EV_KEY);
        for (int key = KEY_ESC; key <= KEY_Z + 10; ++key)
            ioctl(m_fd, UI_SET_KEYBIT, key);
        ioctl(m_fd, UI_SET_KEYBIT, BTN_LEFT);
        uinput_setup setup{};
        setup.id.bustype = BUS_VIRTUAL;
        std::snprintf(setup.name, sizeof setup.name, "nq501 test keyboard");
        if (ioctl(m_fd, UI_DEV_SETUP, &setup) < 0 || ioctl(m_fd, UI_DEV_CREATE) < 0) {
            close(m_fd);
            m_fd = -1;
        }
    }
    ~UinputKeyboard()
    {
        if (m_fd >= 0) {
            ioctl(m_fd, UI_DEV_DESTROY);
            close(m_fd);
        }
    }
    bool ok() const { return m_fd >= 0; }
    void Key(int code, int value)
    {
        Emit(EV_KEY, code, value);
        Emit(EV_SYN, SYN_REPORT, 0);
    }

private:
    void Emit(int type, int code, int value)
    {
        input_event e{};
        e.type = uint16_t(type);
        e.code = uint16_t(code);
        e.value = value;
        [[maybe_unused]] ssize_t n = write(m_fd, &e, sizeof e);
    }
    int m_fd = -1;
};

TEST_F(MacroEditorPage, RecordsFromAVirtualInputDevice)
{
    if (access("/dev/uinput", W_OK) != 0)
        GTEST_SKIP() << "/dev/uinput is missing or not writable here: evdev recording is not tested";
    UinputKeyboard keyboard;
    if (!keyboard.ok())
        GTEST_SKIP() << "no virtual input device could be created";
    // The new node must be readable by this user, as for real keyboards.
    bool readable = false;
    for (int i = 0; i < 100 && !readable; ++i) {
        for (const auto& node : EvdevInputReader::ReadableNodes())
            readable = readable || node.keyboard;
        if (!readable)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (!readable)
        GTEST_SKIP() << "the virtual keyboard's event node is not readable by this user";
    pages::CMacroInputCapture::SetEvdevAllowed(true);
    page->Mouse().SetPageState(3);
    Button("macro_btn_name_add")->click();
    Button("macro_btn_starredio")->click();
    keyboard.Key(KEY_A, 1);
    keyboard.Key(KEY_A, 2); // auto-repeat
    keyboard.Key(KEY_A, 0);
    QTRY_COMPARE_WITH_TIMEOUT(editor->ActionList()->count(), 2, 10000);
    editor->StopRecording();
    EXPECT_EQ(RowName(0), "A");
    EXPECT_EQ(RowState(1), "release");
}

} // namespace
