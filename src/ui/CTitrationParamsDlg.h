// The titration parameters dialog "Параметры тирования": the record's
// quantity and description, the serial port, the instrument's network number
// and channel. Each control stores its value as the user leaves it (or
// changes a list's selection) and whatever closes the dialog keeps them all;
// "Проверка" runs the connection check. Modal and made for each use.
#pragma once

#include <QDialog>
#include <memory>

#include "core/Prompter.h"
#include "link/PortList.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace kelm {

struct DialogContext;

class CTitrationParamsDlg final : public QDialog {
    Q_OBJECT
public:
    CTitrationParamsDlg(const DialogContext& context, QWidget* owner);
    ~CTitrationParamsDlg() override;

    // Made, run modally and destroyed; then the graph is redrawn, since the
    // quantity and the description it shows may have changed.
    static void Run(const DialogContext& context, QWidget* owner);

    QComboBox* QuantityBox() const { return quantity_; }
    QLineEdit* DescriptionBox() const { return description_; }
    QComboBox* PortBox() const { return port_; }
    QLineEdit* NetworkNumberBox() const { return networkNumber_; }
    QLineEdit* ChannelBox() const { return channel_; }
    QPushButton* CheckButton() const { return check_; }

    // Whatever closes it stores the control being left first.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FindPorts();
    void ShowSettings();
    // The control's value goes to the shared state, corrected as it is stored.
    void Leave(QObject* control);
    // Characters the code page lacks become "?" as they are typed or pasted.
    void OnDescriptionEdited();
    void RunCheck();

    const DialogContext& context_;
    std::unique_ptr<Prompter> prompter_;
    PortList ports_;
    QComboBox* quantity_;
    QLineEdit* description_;
    QComboBox* port_;
    QLineEdit* networkNumber_;
    QLineEdit* channel_;
    QPushButton* check_;
};

}  // namespace kelm
