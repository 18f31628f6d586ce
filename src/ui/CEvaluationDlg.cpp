#include "ui/CEvaluationDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Prompter.h"
#include "core/SharedState.h"
#include "ui/DialogContext.h"
#include "ui/EnterKeyRouter.h"

namespace kelm {

namespace {

constexpr int kEndChars = 12;
constexpr int kCountChars = 3;

QString Text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QLineEdit* Edit(const char* name, int maxLength, const std::string& text, QWidget* parent) {
    auto* edit = new QLineEdit(Text(text), parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QLabel* Label(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

}  // namespace

CEvaluationDlg::CEvaluationDlg(const DialogContext& context, QWidget* owner)
    : QDialog(owner),
      context_(context),
      form_(context.state.notes.evaluation, context.state.display.decimalComma != 0) {
    setObjectName(QStringLiteral("evaluation"));
    prompter_ = context.makePrompter(this);
    setWindowTitle(QStringLiteral("Поиск и выбор точек"));
    const EvaluationView& v = form_.View();

    from_ = Edit("from", kEndChars, v.fromText, this);
    to_ = Edit("to", kEndChars, v.toText, this);
    choice_ = new QComboBox(this);
    choice_->setObjectName(QStringLiteral("choice"));
    for (std::string_view item : kChoiceItemTexts) {
        choice_->addItem(Text(item));
    }
    choice_->setCurrentIndex(v.choiceIndex);
    count_ = Edit("count", kCountChars, v.countText, this);
    count_->setEnabled(v.countEnabled);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setObjectName(QStringLiteral("ok"));
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    cancel_->setObjectName(QStringLiteral("cancel"));
    cancel_->setText(QStringLiteral("Отмена"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Окно поиска точек эквивалентности, мл:"), this), 0,
                    0, 1, 4);
    grid->addWidget(Label("&от", from_, this), 1, 0);
    grid->addWidget(from_, 1, 1);
    grid->addWidget(Label("&до", to_, this), 1, 2);
    grid->addWidget(to_, 1, 3);
    auto* hint = new QLabel(QStringLiteral("Пустое поле — без границы."), this);
    hint->setEnabled(false);
    grid->addWidget(hint, 2, 0, 1, 4);
    grid->addWidget(Label("&Выбор точек", choice_, this), 3, 0, 1, 2);
    grid->addWidget(choice_, 3, 2, 1, 2);
    grid->addWidget(Label("&Число точек", count_, this), 4, 0, 1, 2);
    grid->addWidget(count_, 4, 2, 1, 2);
    grid->addWidget(buttons, 5, 0, 1, 4);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(choice_, &QComboBox::currentIndexChanged, this, [this](int index) {
        form_.ChoiceChosen(index);
        count_->setEnabled(form_.View().countEnabled);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &CEvaluationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    new EnterKeyRouter(this, [this](QWidget* focused) { OnEnter(focused); });
}

CEvaluationDlg::~CEvaluationDlg() = default;

bool CEvaluationDlg::Run(const DialogContext& context, QWidget* owner) {
    CEvaluationDlg dialog(context, owner);
    return dialog.exec() == QDialog::Accepted;
}

void CEvaluationDlg::accept() {
    EvaluationSettings accepted;
    if (const auto refusal = form_.Accept(from_->text().toStdString(), to_->text().toStdString(),
                                          count_->text().toStdString(), accepted)) {
        prompter_->Error("Ошибка", refusal->message);
        MoveFocusTo(WidgetOf(refusal->field));
        return;
    }
    if (!(accepted == context_.state.notes.evaluation)) {
        context_.state.notes.evaluation = accepted;
        RecordChanged(context_.state);
    }
    QDialog::accept();
}

void CEvaluationDlg::OnEnter(QWidget* focused) {
    if (focused == cancel_) {
        reject();
        return;
    }
    const EvaluationField field = FieldOf(focused);
    if (field == EvaluationField::Ok) {
        accept();
        return;
    }
    MoveFocusTo(WidgetOf(form_.NextOnEnter(field)));
}

QWidget* CEvaluationDlg::WidgetOf(EvaluationField field) const {
    switch (field) {
        case EvaluationField::From:
            return from_;
        case EvaluationField::To:
            return to_;
        case EvaluationField::Choice:
            return choice_;
        case EvaluationField::Count:
            return count_;
        case EvaluationField::Ok:
            break;
    }
    return ok_;
}

EvaluationField CEvaluationDlg::FieldOf(const QWidget* widget) const {
    for (const EvaluationField field : {EvaluationField::From, EvaluationField::To,
                                        EvaluationField::Choice, EvaluationField::Count}) {
        if (WidgetOf(field) == widget) {
            return field;
        }
    }
    return EvaluationField::Ok;
}

}  // namespace kelm
