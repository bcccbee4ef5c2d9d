// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

#include "core/number_text.h"
#include "core/text.h"
#include "karvex_version.h"
#include "mainwindow/artwork.h"
#include "platform/latin1.h"
#include "platform/naming.h"
#include "platform/picture_button.h"
#include "platform/twips.h"

namespace karvex {

using platform::Named;
using platform::PictureButton;
using platform::Place;

namespace {

// The client area: 5775 twips wide, the 5895 x 6375 outer size less the frame.
constexpr int kClientWidth = 5775;
constexpr int kClientHeight = 6030;

QLabel* TextLabel(QWidget* parent, const char* name, const QString& text = {}) {
    auto* label = Named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

// The thousands separator of the user's locale, as 8-bit text; "," where there is none.
std::string LocaleGroupSeparator() {
    const QLocale locale = QLocale::system();
    const std::string separator = platform::ToLatin1(locale.groupSeparator());
    return locale.language() == QLocale::C || separator.empty() ? "," : separator;
}

}  // namespace

Form1::Form1(Session& session, QWidget* parent)
    : QWidget(parent),
      m_session(session),
      m_state(session.State()),
      m_table(session.Table()),
      m_names(m_table, EntryModel::NameColumn, this),
      m_sizes(m_table, EntryModel::SizeColumn, this) {
    setObjectName("Form1");
    setWindowTitle(platform::WindowCaption());
    setFixedSize(platform::Px(kClientWidth), platform::Px(kClientHeight));
    m_session.SetGroupSeparator(LocaleGroupSeparator());

    CreateButtonRow();
    CreateStatusLine();
    CreateLists();
    CreateStatusRow();
    CreateMenu();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);

    m_session.SetHost(this);
    m_session.OnBusyChanged(this, [this](bool) {
        ShowPendingStatus();
        ShowRow();
    });
    m_session.OnSelectionChanged(this, [this] { ShowTableSelection(); });
    m_names.SetSeparator(m_session.GroupSeparator());
    m_sizes.SetSeparator(m_session.GroupSeparator());
    CreateComforts();
}

Form1::~Form1() {
    m_session.RemoveListeners(this);
    m_session.SetHost(nullptr);
}

void Form1::CreateButtonRow() {
    Command3D1 = PictureButton(this, ButtonIcon(ButtonPicture::Open), "Command3D1", "Open",
                               "Open a POD file");
    Command3D2 = PictureButton(this, ButtonIcon(ButtonPicture::Make), "Command3D2", "Make",
                               "Make a POD file");
    Command3D3 = PictureButton(this, ButtonIcon(ButtonPicture::Extract), "Command3D3", "Extract",
                               "Extract files from a POD");
    Command3D4 = PictureButton(this, ButtonIcon(ButtonPicture::About), "Command3D4", "About",
                               "About Karvex32");
    Command3D5 = PictureButton(this, ButtonIcon(ButtonPicture::Exit), "Command3D5", "Exit",
                               "Exit the program");
    Command3D6 =
        PictureButton(this, ButtonIcon(ButtonPicture::Select), "Command3D6", "Select", QString());
    Place(Command3D1, 0, 0, 855, 855);
    Place(Command3D2, 840, 0, 855, 855);
    Place(Command3D3, 1680, 0, 855, 855);
    Place(Command3D4, 4080, 0, 855, 855);
    Place(Command3D5, 4920, 0, 855, 855);
    Place(Command3D6, 5805, 900, 825, 855);
    connect(Command3D1, &QToolButton::clicked, this, &Form1::Command3D1_Click);
    connect(Command3D2, &QToolButton::clicked, this, &Form1::Command3D2_Click);
    connect(Command3D3, &QToolButton::clicked, this, &Form1::Command3D3_Click);
    connect(Command3D4, &QToolButton::clicked, this, &Form1::Command3D4_Click);
    connect(Command3D5, &QToolButton::clicked, this, &Form1::Command3D5_Click);
    connect(Command3D6, &QToolButton::clicked, this, &Form1::Command3D6_Click);

    Picture6 = Named(new QLabel(this), "Picture6", "Karvex32 logo");
    Place(Picture6, 2565, 0, 1500, 870);
    Picture6->setAlignment(Qt::AlignCenter);
    Picture6->setToolTip("Karvex32 version " KARVEX_VERSION);
    Picture6->installEventFilter(this);
    Picture7 = LogoImages();
}

void Form1::CreateStatusLine() {
    Label5 = TextLabel(this, "Label5");
    Place(Label5, 45, 930, 5205, 195);
    Command1 = Named(new QPushButton("Edit", this), "Command1", "Edit comment");
    Place(Command1, 5280, 880, 495, 255);
    Command1->setToolTip("Edit POD file comment");
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);

    Label6 = Named(new QWidget(this), "Label6", "Name, Size");
    Place(Label6, 45, 1170, 5685, 195);
    auto* header = new QHBoxLayout(Label6);
    header->setContentsMargins(0, 0, 0, 0);
    QFont bold = font();
    bold.setBold(true);
    for (const char* text : {"Name", "Size"}) {
        auto* part = new QLabel(text, Label6);
        part->setFont(bold);
        header->addWidget(part, 0, text[0] == 'N' ? Qt::AlignLeft : Qt::AlignRight);
    }
}

void Form1::CreateLists() {
    List1 = Named(new QListView(this), "List1", "Entry names");
    List2 = Named(new QListView(this), "List2", "Entry sizes");
    Place(List1, 0, 1395, 3840, 4155);
    Place(List2, 3870, 1395, 1905, 4155);
    List1->setModel(&m_names);
    List2->setModel(&m_sizes);
    for (QListView* list : {List1, List2}) {
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
        list->setToolTip("Right-click for options");
        list->viewport()->installEventFilter(this);
        list->installEventFilter(this);
    }
    // The lists scroll together: they show the same rows at the same height.
    connect(List1->verticalScrollBar(), &QScrollBar::valueChanged, List2->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(List2->verticalScrollBar(), &QScrollBar::valueChanged, List1->verticalScrollBar(),
            &QScrollBar::setValue);
    connect(List1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SyncSelection(1); });
    connect(List2->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { SyncSelection(2); });

    Label9 = TextLabel(this, "Label9", " Loading, Please Wait...");
    Place(Label9, 0, 2250, 5775, 1005);
    QFont big = font();
    big.setPointSizeF(24);
    big.setBold(true);
    Label9->setFont(big);
    Label9->setWordWrap(true);
    Label9->setAlignment(Qt::AlignCenter);
    // A font wider than Tahoma wraps the text: the overlay then grows about its middle so
    // that no line is cut.
    const int needed = Label9->heightForWidth(Label9->width());
    if (needed > Label9->height())
        Label9->setGeometry(Label9->geometry().adjusted(0, -(needed - Label9->height()) / 2, 0,
                                                        (needed - Label9->height() + 1) / 2));
    Label9->setAutoFillBackground(true);
    QPalette grey = Label9->palette();
    grey.setColor(QPalette::Window, QColor(192, 192, 192));
    Label9->setPalette(grey);
    Label9->hide();
}

void Form1::CreateStatusRow() {
    Label1 = TextLabel(this, "Label1", "Size");
    Label3 = TextLabel(this, "Label3");
    Label2 = TextLabel(this, "Label2", "Files");
    Label4 = TextLabel(this, "Label4");
    Label7 = TextLabel(this, "Label7", "Selected");
    Label8 = TextLabel(this, "Label8");
    Label1->move(platform::Px(100), platform::Px(5640));
    Place(Label3, 480, 5640, 1050, 195);
    Label2->move(platform::Px(1680), platform::Px(5640));
    Place(Label4, 2115, 5640, 915, 195);
    Label7->move(platform::Px(3195), platform::Px(5640));
    Place(Label8, 4050, 5640, 870, 195);
    for (QLabel* caption : {Label1, Label2, Label7})
        caption->adjustSize();
    ShowValue(Label3, "Archive size", {});
    ShowValue(Label4, "Number of files", {});
    ShowValue(Label8, "Selected files", {});

    Picture1 = Named(new QLabel(this), "Picture1", "Status lamp");
    Place(Picture1, 5155, 5620, 600, 240);
    Picture1->setToolTip("Karvex32 status");
    Picture1->setFrameShape(QFrame::Panel);
    Picture1->setFrameShadow(QFrame::Sunken);
    Picture1->setAutoFillBackground(true);
    SetLamp(Lamp::Green);
}

// --- Logo, size, busy state ----------------------------------------------------------------

void Form1::Picture6_Click() {
    m_logoMode = m_logoMode % 4 + 1;
}

void Form1::Timer1_Timer() {
    switch (m_logoMode) {
        case 1:
            Picture6->setPixmap(Picture7[12]);
            break;
        case 2:
            m_logoFrame = m_logoFrame % 11 + 1;
            Picture6->setPixmap(Picture7[m_logoFrame - 1]);
            break;
        case 3:
            Picture6->setPixmap(Picture7[11]);
            break;
        default:
            Picture6->setPixmap(Picture7[13]);
            break;
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture6 && event->type() == QEvent::MouseButtonRelease) {
        Picture6_Click();
        return true;
    }
    const bool viewport = watched == List1->viewport() || watched == List2->viewport();
    const bool list = watched == List1 || watched == List2;
    // The right button reads the selection and never changes it: its press and release do
    // not reach the list; the press opens the pop-up menu.
    auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (viewport && mouse && mouse->button() == Qt::RightButton) {
        if (event->type() == QEvent::MouseButtonPress)
            watched == List1->viewport() ? List1_MouseDown(mouse->globalPosition().toPoint())
                                         : List2_MouseDown(mouse->globalPosition().toPoint());
        return true;
    }
    // The keyboard's context-menu key and Shift+F10 open the menu for the focused list.
    auto* key = dynamic_cast<QKeyEvent*>(event);
    const bool menuKey =
        event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard;
    const bool shiftF10 = event->type() == QEvent::KeyPress && key && key->key() == Qt::Key_F10 &&
                          key->modifiers() == Qt::ShiftModifier;
    const bool enter = event->type() == QEvent::KeyPress && key &&
                       (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter);
    if (list && enter) {
        ViewFocusedEntry(static_cast<QListView*>(watched));
        return true;
    }
    if (list && event->type() == QEvent::KeyPress && key && EditKey(key))
        return true;  // Delete, F2
    if (list && (menuKey || shiftF10)) {
        auto* view = static_cast<QListView*>(watched);
        const QPoint where = view->viewport()->mapToGlobal(QPoint(4, 4));
        watched == List1 ? List1_MouseDown(where) : List2_MouseDown(where);
        return true;
    }
    if (viewport && event->type() == QEvent::ContextMenu)
        return true;  // the mouse's own menu request: the press has answered it
    // A click in a list runs the selection synchronisation even where it changes nothing,
    // so the count shows "0" after a click in an empty list.
    if (event->type() == QEvent::MouseButtonRelease && viewport)
        SyncSelection(watched == List1->viewport() ? 1 : 2);
    return QWidget::eventFilter(watched, event);
}

void Form1::keyPressEvent(QKeyEvent* event) {
    // Escape stops an extraction or a build after the chunk being copied.
    if (event->key() == Qt::Key_Escape && m_session.IsBusy()) {
        m_session.RequestCancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
    // The window keeps its size; setFixedSize already refuses other sizes where the
    // window manager asks, and this puts it back where it did not.
    const QSize fixed(platform::Px(kClientWidth), platform::Px(kClientHeight));
    if (!isMinimized() && size() != fixed)
        resize(fixed);
    QWidget::resizeEvent(event);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_session.IsBusy()) {
        m_exitRequested = true;
        m_session.RequestCancel();
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void Form1::ShowValue(QLabel* label, const QString& caption, const QString& value) {
    label->setText(value);
    label->setAccessibleName(value.isEmpty() ? caption : caption + ' ' + value);
}

void Form1::ShowRow() {
    const bool busy = m_session.IsBusy();
    ShowValue(Label3, "Archive size", platform::FromLatin1(m_row.Label3));
    ShowValue(Label4, "Number of files", platform::FromLatin1(m_row.Label4));
    ShowSizeTip();
    Command3D2->setEnabled(!busy && m_row.Command3D2);
    Command3D3->setEnabled(!busy && m_row.Command3D3);
    Command1->setEnabled(!busy && m_row.Command1);
    Command3D1->setEnabled(!busy);
}

void Form1::ShowTableSelection() {
    // The table's selected rows as ranges in List1; SyncSelection mirrors them into List2.
    QItemSelection rows;
    const int count = std::min(m_table.Count(), List1->model()->rowCount());
    for (int first = 0; first < count; ++first) {
        if (!m_table.IsSelected(first))
            continue;
        int last = first;
        while (last + 1 < count && m_table.IsSelected(last + 1))
            ++last;
        rows.select(List1->model()->index(first, 0), List1->model()->index(last, 0));
        first = last;
    }
    List1->selectionModel()->select(rows, QItemSelectionModel::ClearAndSelect);
}

void Form1::SyncSelection(int source) {
    if (m_syncSource != 0)
        return;
    m_syncSource = source;
    // The same rows, as ranges, in the other list; the table keeps them for the core.
    QItemSelectionModel* from = (source == 2 ? List2 : List1)->selectionModel();
    QItemSelectionModel* to = (source == 2 ? List1 : List2)->selectionModel();
    QItemSelection mirrored;
    m_table.SetAllSelected(false);
    for (const QItemSelectionRange& range : from->selection()) {
        mirrored.select(to->model()->index(range.top(), 0), to->model()->index(range.bottom(), 0));
        for (int row = range.top(); row <= range.bottom() && row < m_table.Count(); ++row)
            m_table.SetSelected(row, true);
    }
    to->select(mirrored, QItemSelectionModel::ClearAndSelect);
    if (from->currentIndex().isValid())
        to->setCurrentIndex(to->model()->index(from->currentIndex().row(), 0),
                            QItemSelectionModel::NoUpdate);
    m_selectedCount = m_table.SelectedCount();
    m_syncSource = 0;
    ShowValue(Label8, "Selected files",
              platform::FromLatin1(FormatNumber(m_selectedCount, m_session.GroupSeparator())));
}

}  // namespace karvex
