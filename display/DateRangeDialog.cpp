#include "display/DateRangeDialog.h"

#include "display/WidgetDialogs.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

namespace gs {

namespace {

// Day 0 of the day numbers.
const QDate DayZero(1899, 12, 30);

QDateEdit* DateEdit(const QDate& date, const char* name, QWidget* parent)
{
    auto* edit = new QDateEdit(date, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    edit->setCalendarPopup(true);
    edit->setMinimumDate(QDate(1, 1, 1));
    edit->setMaximumDate(QDate(9999, 12, 31));
    return edit;
}

} // namespace

QDate DayToQDate(TDateTime day) { return DayZero.addDays(static_cast<qint64>(std::floor(day))); }

TDateTime QDateToDay(const QDate& date) { return static_cast<TDateTime>(DayZero.daysTo(date)); }

TFDateRange::TFDateRange(TDateTime first, TDateTime last, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FDateRange"));
    setWindowTitle(QStringLiteral("Zeitraum"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    first_ = DateEdit(DayToQDate(first), "dteFirst", this);
    last_ = DateEdit(DayToQDate(last), "dteLast", this);
    form->addRow(QStringLiteral("Erster Tag:"), first_);
    form->addRow(QStringLiteral("Letzter Tag:"), last_);
    layout->addLayout(form);
    auto* hint = new QLabel(QStringLiteral("Der letzte Tag liegt vor dem ersten."), this);
    hint->setObjectName(QStringLiteral("lblReversed"));
    hint->setStyleSheet(QStringLiteral("color: #C00000;"));
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    layout->addWidget(buttons);
    const auto check = [this, hint] {
        const bool reversed = last_->date() < first_->date();
        ok_->setEnabled(!reversed);
        hint->setVisible(reversed);
    };
    connect(first_, &QDateEdit::dateChanged, this, check);
    connect(last_, &QDateEdit::dateChanged, this, check);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (ok_->isEnabled())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    check();
}

TDateTime TFDateRange::firstDay() const { return QDateToDay(first_->date()); }

TDateTime TFDateRange::lastDay() const { return QDateToDay(last_->date()); }

std::optional<std::pair<TDateTime, TDateTime>> AskDateRange(TDateTime first, TDateTime last, QWidget* parent)
{
    TFDateRange dialog(first, last, parent);
    if (RunModal(dialog) != QDialog::Accepted || dialog.lastDay() < dialog.firstDay())
        return std::nullopt;
    return std::make_pair(dialog.firstDay(), dialog.lastDay());
}

} // namespace gs
