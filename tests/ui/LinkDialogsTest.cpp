// The titration parameters and connection-check dialogs on the real serial
// port code, against the simulator on pseudo-terminals: what they list,
// store and report, and how they open from the menu and from each other.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <memory>
#include <string>
#include <vector>

#include "AppTest.h"
#include "PtySimulator.h"
#include "core/Cp1251.h"
#include "core/Profile.h"
#include "link/qt/QtSerialPort.h"
#include "link/qt/SystemPortMap.h"
#include "support/MeterLink.h"
#include "ui/CLinkCheckDlg.h"
#include "ui/CTitrationParamsDlg.h"
#include "ui/RegisterDialogs.h"

namespace kelm::test {
namespace {

// The real port, noting which cursor the window showed at each opening.
class WatchedPort final : public SerialPort {
public:
    explicit WatchedPort(std::vector<Qt::CursorShape>& cursors) : cursors_(cursors) {}
    bool Open(std::string_view device) override {
        const QCursor* cursor = QApplication::overrideCursor();
        cursors_.push_back(cursor != nullptr ? cursor->shape() : Qt::ArrowCursor);
        return port_.Open(device);
    }
    void Configure() override { port_.Configure(); }
    void Write(std::span<const std::uint8_t> bytes) override { port_.Write(bytes); }
    std::size_t Read(std::span<std::uint8_t> buffer) override { return port_.Read(buffer); }
    void Close() override { port_.Close(); }

private:
    QtSerialPort port_;
    std::vector<Qt::CursorShape>& cursors_;
};

std::unique_ptr<sim::PtySimulator> StartSimulator() {
    sim::InstrumentConfig config;
    config.pace = false;
    config.noiseMv = 0;
    auto simulator = std::make_unique<sim::PtySimulator>(config, sim::SampleConfig{});
    std::string error;
    EXPECT_TRUE(simulator->Start(error, FreshMeterLink())) << error;
    return simulator;
}

// Runs `act` on the modal dialog named `name` from inside its own event loop,
// once it is open.
void WhenModal(const QString& name, std::function<void(QDialog&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act = std::move(act)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->objectName() == name) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start();
}

class LinkDialogs : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Start();
        const DialogContext& app = app_->Context();
        context_ = std::make_unique<DialogContext>(
            DialogContext{app.state, app.host, app.processing, app.makePrompter,
                          [this] { return std::make_unique<WatchedPort>(cursors_); },
                          [this] { return PortMap::Parse(ports_); }, app.clock, app.store,
                          app.saveRecord, app.recordFile});
        // The menu reaches the dialogs made with this test's ports.
        RegisterDialogs(app_->Dialogs(), *context_);
        prompter_.messages.clear();
    }

    std::unique_ptr<CTitrationParamsDlg> OpenParams() {
        auto dialog = std::make_unique<CTitrationParamsDlg>(*context_, &Frame());
        dialog->show();
        QApplication::setActiveWindow(dialog.get());
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return dialog;
    }

    static void Type(QLineEdit* box, const QString& text) {
        box->setFocus(Qt::TabFocusReason);
        box->selectAll();
        QTest::keyClicks(box, text);
    }

    static QStringList Items(const QComboBox* list) {
        QStringList items;
        for (int i = 0; i < list->count(); ++i) {
            items.append(list->itemText(i));
        }
        return items;
    }

    std::string Report() {
        const CLinkCheckDlg dialog(*context_, &Frame());
        return dialog.ReportBox()->toPlainText().toStdString();
    }

    std::string ports_;
    std::vector<Qt::CursorShape> cursors_;
    std::unique_ptr<DialogContext> context_;
};

TEST_F(LinkDialogs, TheFoundPortsAreListedAndTheSelectionSetsTheComPort) {
    auto first = StartSimulator();
    auto third = StartSimulator();
    ports_ = "COM1=" + first->Path() + "\nCOM2=/dev/kelm-absent\nCOM3=" + third->Path() + "\n";
    state_.link.comPort = 3;
    auto dialog = OpenParams();
    QComboBox* list = dialog->PortBox();
    EXPECT_EQ(Items(list), (QStringList{QString::fromStdString("COM1 — " + first->Path()),
                                        QString::fromStdString("COM3 — " + third->Path())}));
    EXPECT_EQ(list->currentIndex(), 1);
    list->setCurrentIndex(0);
    EXPECT_EQ(state_.link.comPort, 1);
    EXPECT_TRUE(prompter_.messages.empty());
    dialog.reset();

    // comPort 5 with only COM1: COM1 is shown, comPort stays 5 until the
    // user leaves the list.
    third->Stop();
    state_.link.comPort = 5;
    dialog = OpenParams();
    EXPECT_EQ(Items(dialog->PortBox()).size(), 1);
    EXPECT_EQ(dialog->PortBox()->currentIndex(), 0);
    EXPECT_EQ(state_.link.comPort, 5);
    dialog->PortBox()->setFocus(Qt::TabFocusReason);
    dialog->NetworkNumberBox()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(state_.link.comPort, 1);
}

TEST_F(LinkDialogs, WithoutPortsTheDialogSaysSoAndStillOpensAndAHeldPortIsMarked) {
    ports_ = "COM4=/dev/kelm-absent\n";
    state_.link.comPort = 4;
    auto dialog = OpenParams();
    ASSERT_EQ(prompter_.messages.size(), 1u);
    const Message& m = prompter_.messages[0];
    EXPECT_EQ(std::tie(m.kind, m.caption, m.text, m.owner),
              std::tie("warn", "Поиск COM портов", "Последовательные порты не обнаружены",
                       "titrationParams"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->PortBox()->count(), 0);
    dialog->PortBox()->setFocus(Qt::TabFocusReason);
    dialog->ChannelBox()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(state_.link.comPort, 4);
    dialog.reset();

    // A port another program holds is listed, marked, and says why.
    auto simulator = StartSimulator();
    ports_ = "COM2=" + simulator->DevicePath() + "\n";
    QtSerialPort holder;
    ASSERT_TRUE(holder.Open(simulator->DevicePath()));
    dialog = OpenParams();
    const std::string comm = ReadFile("/proc/self/comm");
    const std::string program = comm.substr(0, comm.find('\n'));
    ASSERT_EQ(dialog->PortBox()->count(), 1);
    EXPECT_EQ(dialog->PortBox()->itemText(0).toStdString(),
              "COM2 — " + simulator->DevicePath() + " — занят: " + program);
    EXPECT_EQ(dialog->PortBox()->itemData(0, Qt::ToolTipRole).toString().toStdString(),
              "Порт " + simulator->DevicePath() + " занят другой программой: " + program +
                  " (процесс " + std::to_string(QCoreApplication::applicationPid()) + ").");
}

TEST_F(LinkDialogs, NumbersAndChannelsAreCorrectedAsTheBoxIsLeft) {
    auto dialog = OpenParams();
    QLineEdit* network = dialog->NetworkNumberBox();
    QLineEdit* channel = dialog->ChannelBox();
    // typed, shown and stored
    const std::pair<const char*, int> numbers[] = {{"300", 0}, {"-5", 0}, {"abc", 0}, {"42", 42}};
    for (const auto& [typed, stored] : numbers) {
        Type(network, typed);
        channel->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(network->text(), QString::number(stored)) << typed;
        EXPECT_EQ(state_.link.networkNumber, stored) << typed;
    }
    const std::tuple<const char*, int, int> channels[] = {
        {"12", 1, 16}, {"3", 3, 18}, {"0", 0, 16}};
    for (const auto& [typed, stored, codeZ] : channels) {
        Type(channel, typed);
        network->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(channel->text(), QString::number(stored)) << typed;
        EXPECT_EQ(std::tie(state_.link.channel, state_.link.codeZ), std::tie(stored, codeZ));
    }
    // The boxes take 3 and 2 characters.
    Type(network, "12345");
    EXPECT_EQ(network->text(), "123");
    Type(channel, "123");
    EXPECT_EQ(channel->text(), "12");
    // A box being left as the dialog closes, however it closes, is stored.
    Type(network, "77");
    dialog->reject();
    EXPECT_EQ(state_.link.networkNumber, 77);
}

TEST_F(LinkDialogs, TheQuantityGivesCodeRAndIsFixedOnceTheRecordHasPoints) {
    auto dialog = OpenParams();
    QComboBox* quantity = dialog->QuantityBox();
    EXPECT_EQ(Items(quantity),
              (QStringList{"ЭДС (мВ)", "pH (ед. pH)", "pX (ед. pX)", "УЭП (мСм/см)"}));
    EXPECT_TRUE(quantity->isEnabled());
    for (const auto& [position, codeR] : {std::pair{1, 48}, std::pair{2, 48}, std::pair{3, 64}}) {
        quantity->setCurrentIndex(position);
        EXPECT_EQ(std::tie(state_.record.quantity, state_.link.codeR),
                  std::make_tuple(static_cast<MeasuredQuantity>(position), codeR));
    }
    dialog.reset();
    state_.record.pointCount = 4;
    dialog = OpenParams();
    EXPECT_FALSE(dialog->QuantityBox()->isEnabled());
    EXPECT_EQ(dialog->QuantityBox()->currentIndex(), 3);
}

TEST_F(LinkDialogs, TheDescriptionIsKeptInTheCodePageAndItsLimit) {
    auto dialog = OpenParams();
    QLineEdit* description = dialog->DescriptionBox();
    Type(description, "M");
    // A key whose character has no place in QTest's key table, as a layout gives it.
    QKeyEvent umlaut(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral("ü"));
    QApplication::sendEvent(description, &umlaut);
    // Replaced as typed, where the user sees it, and said why.
    EXPECT_EQ(description->text(), "M?");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(),
              "Знак «ü» нельзя сохранить в описании (кодовая страница 1251): "
              "он заменён на «?».");
    QTest::keyClicks(description, "ller 1");
    EXPECT_EQ(description->text(), "M?ller 1");
    EXPECT_EQ(description->cursorPosition(), 8);
    dialog->ChannelBox()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(DescriptionView(state_.record), "M?ller 1");

    // Pasted: 1101 characters with an "ü" in the middle; 1020 are kept, as
    // 1020 bytes of the code page.
    QString pasted(550, QChar(0x0436));
    pasted += QChar(0x00FC) + QString(550, QChar(0x0436));
    QApplication::clipboard()->setText(pasted);
    description->setFocus(Qt::TabFocusReason);
    description->selectAll();
    QTest::keyClick(description, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(description->text().size(), kMaxDescriptionLength);
    EXPECT_EQ(description->text().at(550), QLatin1Char('?'));
    dialog->ChannelBox()->setFocus(Qt::TabFocusReason);
    const std::string stored(DescriptionView(state_.record));
    EXPECT_EQ(stored.size(), std::size_t(kMaxDescriptionLength));
    EXPECT_EQ(stored.substr(0, 2), "\xE6\xE6");  // "жж"
    EXPECT_EQ(stored[550], '?');

    // Leaving the box unchanged keeps a description longer than it (from a file).
    state_.record.description.fill('d');
    dialog.reset();
    dialog = OpenParams();
    dialog->DescriptionBox()->setFocus(Qt::TabFocusReason);
    dialog->ChannelBox()->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(DescriptionView(state_.record).size(), std::size_t(kDescriptionCapacity));
}

TEST_F(LinkDialogs, LabelsAreBuddiesAndTabFollowsTheControlsInOrder) {
    auto dialog = OpenParams();
    EXPECT_EQ(dialog->windowTitle(), "Параметры тирования");
    EXPECT_EQ(dialog->findChild<QGroupBox*>()->title(), "Прибор ЛАРМИТ");
    QStringList labels;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        labels.append(label->text());
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
    }
    labels.sort();
    EXPECT_EQ(labels,
              (QStringList{"Номер канала", "Описание", "Параметр", "Порт", "Сетевой номер"}));
    dialog->QuantityBox()->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 7; ++i) {
        QWidget* focused = QApplication::focusWidget();
        const auto* button = qobject_cast<QPushButton*>(focused);
        order.append(button != nullptr ? button->text() : focused->metaObject()->className());
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    EXPECT_EQ(order, (QStringList{"QComboBox", "QLineEdit", "QComboBox", "QLineEdit", "QLineEdit",
                                  "Проверка", "OK"}));
}

TEST_F(LinkDialogs, TheCheckReportsWhatTheMeterAnswersWithAWaitCursor) {
    auto simulator = StartSimulator();
    ports_ = "COM1=" + simulator->Path() + "\n";
    const QString found =
        "Прибор ЛАРМИТ ГАЛ-101-1\nСетевой номер 0\nВерсия ПО от 15.03.06, НПП ДАРЕНС\n"
        "Считывание параметра ЭДС в канале 1 поддерживается прибором.";
    {
        // The check runs before the dialog shows.
        CLinkCheckDlg dialog(*context_, &Frame());
        EXPECT_EQ(dialog.windowTitle(), "Проверка связи с прибором");
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(dialog.ReportBox()->isReadOnly());
        EXPECT_EQ(dialog.ReportBox()->toPlainText(), found);
        EXPECT_EQ(cursors_, std::vector<Qt::CursorShape>(4, Qt::WaitCursor));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        // Each "Проверка" checks again, with the settings as they stand.
        simulator->With([](sim::Instrument& m, double) {
            m.Config().answerDate = false;
            m.Config().answerMaker = false;
        });
        dialog.CheckButton()->click();
        EXPECT_EQ(dialog.ReportBox()->toPlainText(),
                  "Прибор ЛАРМИТ ГАЛ-101-1\nСетевой номер 0\nВерсия ПО от , \n"
                  "Считывание параметра ЭДС в канале 1 поддерживается прибором.");
    }
    // An error reply to the trial reading.
    simulator->With([](sim::Instrument& m, double) {
        m.Config().answerDate = true;
        m.Config().answerMaker = true;
        m.Config().errorCode = 3;
    });
    state_.record.quantity = MeasuredQuantity::Ph;
    state_.link.codeR = 48;
    EXPECT_EQ(Report(),
              "Прибор ЛАРМИТ ГАЛ-101-1\nСетевой номер 0\nВерсия ПО от 15.03.06, НПП ДАРЕНС\n"
              "Считывание параметра pH в канале 1 не возможно.\n"
              "Отсутствует данный параметр в приборе.");

    state_.link.networkNumber = 9;  // nobody answers to 9: no port problem to tell
    EXPECT_EQ(Report(),
              "Прибор с номером 9 в COM1 не обнаружен. \n"
              "Подключите прибор или измените настройки.");
    state_.link.networkNumber = 0;
    simulator->Stop();
    EXPECT_EQ(Report(),
              "Прибор с номером 0 в COM1 не обнаружен. \n"
              "Подключите прибор или измените настройки.\n"
              "Устройство " +
                  simulator->Path() + " не найдено: прибор или переходник отключён.");
    state_.link.comPort = 2;
    EXPECT_EQ(Report(),
              "Прибор с номером 0 в COM2 не обнаружен. \n"
              "Подключите прибор или измените настройки.\n"
              "Порту COM2 не назначено устройство: подключите переходник или назовите "
              "устройство в файле kelm.ports.");
}

TEST_F(LinkDialogs, CheckStoresTheBoxBeingLeftAndTheMenuOpensBothDialogs) {
    auto simulator = StartSimulator();
    simulator->With([](sim::Instrument& m, double) { m.Config().networkNumber = 3; });
    ports_ = "COM1=" + simulator->Path() + "\n";
    auto dialog = OpenParams();
    Type(dialog->NetworkNumberBox(), "3");
    QString seen;
    WhenModal("linkCheck", [&](QDialog& check) {
        seen = check.findChild<QPlainTextEdit*>()->toPlainText();
        check.accept();
    });
    dialog->CheckButton()->click();  // the focus stays in the box
    EXPECT_EQ(state_.link.networkNumber, 3);
    EXPECT_TRUE(seen.startsWith("Прибор ЛАРМИТ ГАЛ-101-1\nСетевой номер 3\n"))
        << seen.toStdString();
    dialog.reset();

    // From the menu: the parameters dialog, closed with Escape while a box
    // is being typed in; the box is stored and the graph redrawn after.
    redraws_ = 0;
    WhenModal("titrationParams", [&](QDialog& params) {
        EXPECT_EQ(redraws_, 0);
        auto* channel = params.findChild<QLineEdit*>("channel");
        Type(channel, "4");
        QTest::keyClick(channel, Qt::Key_Escape);
    });
    Frame().Action(Command::TitrationParams)->trigger();
    EXPECT_EQ(std::tie(state_.link.channel, state_.link.codeZ), std::make_tuple(4, 19));
    EXPECT_EQ(redraws_, 1);

    WhenModal("linkCheck", [&](QDialog& check) {
        seen = check.findChild<QPlainTextEdit*>()->toPlainText();
        QTest::keyClick(&check, Qt::Key_Return);  // OK, the default button
    });
    Frame().Action(Command::LinkCheck)->trigger();
    EXPECT_TRUE(seen.contains("в канале 4 не возможно.")) << seen.toStdString();
    EXPECT_EQ(redraws_, 1);
}

// The COM numbers devices were given live in the per-user profile (the test's
// own); a hand-edited entry that names no device is forgotten, not used.
TEST(PortMemoryProfile, NumbersSurviveInTheProfileAndNonsenseIsNoMemory) {
    PortMemory memory;
    memory[1] = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0";
    memory[3] = "/dev/ttyS0";
    SavePortMemory(memory);
    EXPECT_EQ(LoadPortMemory(), memory);

    {
        QSettings profile(kProfileOrganisation, kProfileApplication);
        profile.setValue("Ports/COM2", "ttyUSB0");
        profile.setValue("Ports/COM4", "/");
        profile.setValue("Ports/COM5", QString(5000, QLatin1Char('/')));
        profile.setValue("Ports/COM9", "/dev/ttyS9");
    }
    EXPECT_EQ(LoadPortMemory(), memory);

    memory[3].clear();  // a number given up is gone from the profile
    SavePortMemory(memory);
    EXPECT_FALSE(QSettings(kProfileOrganisation, kProfileApplication).contains("Ports/COM3"));
    EXPECT_EQ(LoadPortMemory(), memory);
    SavePortMemory(PortMemory{});
}

}  // namespace
}  // namespace kelm::test
