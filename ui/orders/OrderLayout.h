#pragma once

#include <QString>

#include <initializer_list>

class QLayout;
class QWidget;

namespace qs::ui {

class CFloatNumberEdit;
class MySpinButtonCtrl;

// "edit1031", "spin1032", "button1044": tests and screenshots find controls by their ids.
void NameControl(QWidget *control, const char *kind, int controlId, const QString &accessibleName);

// Widgets side by side, the rest of the row left empty.
QLayout *ControlRow(std::initializer_list<QWidget *> widgets);
// A number field with its spin right beside it; the spin steps the field.
QLayout *FieldWithSpin(CFloatNumberEdit *field, MySpinButtonCtrl *spin);

} // namespace qs::ui
