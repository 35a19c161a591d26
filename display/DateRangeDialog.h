#pragma once
// The question for a free range of days ("Zeitraum"): a first and a last day, each a German date
// entry ("TT.MM.JJJJ") with a calendar to pick from. "OK" stays disabled while the last day lies
// before the first. Shown through RunModal, so tests answer it by working its two date fields.
#include "base/Dates.h"

#include <QDialog>

#include <optional>
#include <utility>

class QDateEdit;
class QPushButton;

namespace gs {

class TFDateRange : public QDialog {
    Q_OBJECT
public:
    TFDateRange(TDateTime first, TDateTime last, QWidget* parent = nullptr);

    QDateEdit* firstEdit() const { return first_; }
    QDateEdit* lastEdit() const { return last_; }
    QPushButton* okButton() const { return ok_; }
    TDateTime firstDay() const;
    TDateTime lastDay() const;

private:
    QDateEdit* first_ = nullptr;
    QDateEdit* last_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Asks for the days, preset with first and last; nullopt when the user cancels.
std::optional<std::pair<TDateTime, TDateTime>> AskDateRange(TDateTime first, TDateTime last, QWidget* parent);

// A day number and the calendar date it names.
QDate DayToQDate(TDateTime day);
TDateTime QDateToDay(const QDate& date);

} // namespace gs
