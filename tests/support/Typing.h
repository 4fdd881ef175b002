#pragma once

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>

namespace tolvane::test {

// Types into an editable box as a person does: a click into it, Ctrl+A and Backspace over what
// it shows, then the keys, all going to the widget that has the focus.
inline void typeInto(QComboBox* box, const QString& text)
{
    QTest::mouseClick(box->lineEdit(), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    QTest::keyClicks(QApplication::focusWidget(), text);
}

} // namespace tolvane::test
