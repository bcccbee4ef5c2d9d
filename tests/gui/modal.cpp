// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/modal.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace karvex::test {

void WhenModal(std::function<void(QWidget*)> act, const char* kind) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, act, kind] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || !modal->inherits(kind))
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start(10);
}

void AnswerMessage(const QString& button, QString* seen, QString* caption) {
    WhenModal(
        [=](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (seen)
                *seen = box->text();
            if (caption)
                *caption = box->windowTitle();
            for (QAbstractButton* candidate : box->buttons()) {
                if (candidate->text().remove('&') == button)
                    candidate->click();
            }
        },
        "QMessageBox");
}

platform::FileList* ShowLoaded(QDialog& dialog) {
    dialog.show();
    auto* files = dialog.findChild<platform::FileList*>("File1");
    if (!QTest::qWaitForWindowExposed(&dialog) || !files)
        return nullptr;
    QSignalSpy loaded(files, &platform::FileList::loaded);
    return files->isLoaded() || loaded.wait() ? files : nullptr;
}

bool ClickFile(platform::FileList* files, const QString& name, Qt::KeyboardModifiers keys,
               bool twice) {
    const int row = static_cast<int>(files->fileNames().indexOf(name));
    if (row < 0)
        return false;
    const QPoint at = files->visualRect(files->model()->index(row, 0, files->rootIndex())).center();
    // A double click reaches a widget as press, release, then the double-click event.
    QTest::mouseClick(files->viewport(), Qt::LeftButton, keys, at);
    if (twice)
        QTest::mouseDClick(files->viewport(), Qt::LeftButton, keys, at);
    return true;
}

void CloseAs(QDialog& dialog, const QString& button) {
    QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
}

QStringList ListRows(const QWidget& window, const char* list) {
    QStringList rows;
    const QAbstractItemModel* model = window.findChild<QListView*>(list)->model();
    for (int row = 0; row < model->rowCount(); ++row)
        rows << model->index(row, 0).data().toString();
    return rows;
}

QStringList Heard(QWidget* list) {
    QAccessible::setActive(true);
    QStringList items;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(list);
    for (int i = 0; i < view->childCount(); ++i)
        items << view->child(i)->text(QAccessible::Name);
    return items;
}

}  // namespace karvex::test
