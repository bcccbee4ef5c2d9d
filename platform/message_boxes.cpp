// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/message_boxes.h"

#include <QInputDialog>
#include <QMessageBox>

namespace karvex::platform {

namespace {

QMessageBox::Icon ToQt(Icon icon) {
    switch (icon) {
        case Icon::Critical:
            return QMessageBox::Critical;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Information:
            return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void ShowMessage(QWidget* parent, const QString& text, const QString& caption, Icon icon) {
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, parent);
    box.setObjectName("MessageBox");
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setObjectName("MessageBox");
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

Answer AskYesToAll(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(
        QMessageBox::Question, caption, text,
        QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel, parent);
    box.setObjectName("MessageBox");
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::YesToAll:
            return Answer::YesToAll;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

QString InputBox(QWidget* parent, const QString& title, const QString& prompt,
                 const QString& initial) {
    QInputDialog box(parent);
    box.setObjectName("InputBox");
    box.setWindowTitle(title);
    QString label = prompt;
    box.setLabelText(label.replace("\r\n", "\n"));
    box.setTextValue(initial);
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}

}  // namespace karvex::platform
