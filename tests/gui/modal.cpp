#include "modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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

}  // namespace karvex::test
