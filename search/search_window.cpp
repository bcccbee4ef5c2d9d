// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/search_window.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include "core/session.h"
#include "platform/latin1.h"
#include "platform/message_boxes.h"
#include "platform/naming.h"
#include "platform/twips.h"

namespace karvex {

using platform::Named;
using platform::Place;
using platform::Px;

// One of the two result lists: the names or the sizes of the rows found, in order.
class ResultColumn : public QAbstractListModel {
  public:
    ResultColumn(bool sizes, QObject* parent) : QAbstractListModel(parent), m_sizes(sizes) {}

    void Clear() {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    // Adds rows [from, end) of `rows` in one step.
    void Append(const std::vector<SearchRow>& rows, int from) {
        const int end = static_cast<int>(rows.size());
        if (from >= end)
            return;
        beginInsertRows({}, m_rows.size(), m_rows.size() + end - from - 1);
        for (int i = from; i < end; ++i)
            m_rows << platform::FromLatin1(m_sizes ? rows[i].size : rows[i].name);
        endInsertRows();
    }
    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        if (role == Qt::TextAlignmentRole && m_sizes)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return role == Qt::DisplayRole ? QVariant(m_rows[index.row()]) : QVariant();
    }

  private:
    bool m_sizes;
    QStringList m_rows;
};

namespace {

// The client area across, and its heights collapsed and expanded: the window's heights
// less the 405 twips of a dialog frame's title bar and borders.
constexpr int kClientWidthTwips = 4515;
constexpr int kFrameTwips = 405;
constexpr int kProgressEveryMs = 30;  // how often a running search shows its progress

// A 9 x 9 arrow, pointing up or down, for the expand button.
QPixmap Arrow(bool up) {
    QPixmap arrow(9, 9);
    arrow.fill(Qt::transparent);
    QPainter painter(&arrow);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPolygon down({QPoint(0, 2), QPoint(8, 2), QPoint(4, 6)});
    const QPolygon upward({QPoint(0, 6), QPoint(8, 6), QPoint(4, 2)});
    painter.drawPolygon(up ? upward : down);
    return arrow;
}

QCheckBox* NewCheck(QWidget* parent, const char* name, const QString& caption, int left, int top,
                    int width) {
    auto* box = Named(new QCheckBox(caption, parent), name);
    Place(box, left, top, width, 255);
    return box;
}

}  // namespace

Form12::Form12(Session& session, QWidget* parent) : CentredDialog(parent), m_session(session) {
    setObjectName("Form12");
    setModal(true);
    setWindowTitle(platform::WindowCaption("Search"));
    CreateControls();
    CreateResultLists();
    Form_Load();
}

void Form12::CreateControls() {
    Label1 = Named(new QLabel("Search for:", this), "Label1");
    Place(Label1, 45, 45, 1455, 195);
    Label2 = Named(new QLabel(this), "Label2", "Found");
    Place(Label2, 2025, 45, 1365, 195);
    Text1 = Named(new QLineEdit(this), "Text1", "Search for");
    Place(Text1, 0, 270, 3435, 285);
    Label1->setBuddy(Text1);
    Command3D1 = Named(new QPushButton("Search", this), "Command3D1");
    Place(Command3D1, 3480, 40, 975, 375);
    Command3D1->setDefault(true);  // Enter in the box searches
    Command3D2 = Named(new QPushButton("Cancel", this), "Command3D2");
    Place(Command3D2, 3480, 480, 975, 375);
    Check3D2 = NewCheck(this, "Check3D2", "Match case", 120, 600, 1935);
    Label4 = Named(new QLabel(this), "Label4", "Progress");
    Place(Label4, 1530, 630, 1860, 195);
    Check3D4 = NewCheck(this, "Check3D4", "Search POD contents", 2280, 860, 2175);
    Check3D3 = NewCheck(this, "Check3D3", "Search by size", 120, 900, 2055);
    Check3D1 = NewCheck(this, "Check3D1", "Select matching files", 120, 1200, 2055);
    Command3D3 = Named(new QToolButton(this), "Command3D3");
    Place(Command3D3, 4080, 1200, 255, 255);
    Picture1 = Arrow(true);
    Picture2 = Arrow(false);

    connect(Command3D1, &QPushButton::clicked, this, &Form12::Command3D1_Click);
    connect(Command3D2, &QPushButton::clicked, this, &Form12::Command3D2_Click);
    connect(Command3D3, &QToolButton::clicked, this, &Form12::Command3D3_Click);
    connect(Check3D4, &QCheckBox::clicked, this, &Form12::Check3D4_Click);
    connect(Text1, &QLineEdit::textChanged, this,
            [this](const QString& text) { Text1->setAccessibleName("Search for " + text); });
}

void Form12::CreateResultLists() {
    Label3 = Named(new QLabel("Name" + QString(52, ' ') + "Size", this), "Label3", "Name, Size");
    Place(Label3, 45, 1485, 4425, 195);
    m_names = new ResultColumn(false, this);
    m_sizes = new ResultColumn(true, this);
    List1 = Named(new QListView(this), "List1", "Names found");
    Place(List1, 0, 1710, 2805, 3765);
    List2 = Named(new QListView(this), "List2", "Sizes found");
    Place(List2, 2835, 1710, 1680, 3765);
    List1->setModel(m_names);
    List2->setModel(m_sizes);
    for (QListView* list : {List1, List2}) {
        list->setUniformItemSizes(true);
        list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    // A row made current in one list is current in the other, and both show the same rows.
    auto follow = [](QListView* from, QListView* to) {
        connect(from->selectionModel(), &QItemSelectionModel::currentChanged, to,
                [to](const QModelIndex& current) {
                    to->setCurrentIndex(to->model()->index(current.row(), 0));
                });
        connect(from->verticalScrollBar(), &QScrollBar::valueChanged, to->verticalScrollBar(),
                &QScrollBar::setValue);
    };
    follow(List1, List2);
    follow(List2, List1);
}

void Form12::Form_Load() {
    Command3D3->setIcon(Picture2);
    // Centred at the full size; collapsed once it is placed (showEvent).
    setFixedSize(Px(kClientWidthTwips), Px(kExpandedTwips - kFrameTwips));
    ShowText(Label2, "");
    ShowText(Label4, "");
    SetExpanded(false);
}

void Form12::showEvent(QShowEvent* event) {
    CentredDialog::showEvent(event);
    SetExpanded(m_expanded);
}

void Form12::SetExpanded(bool expanded) {
    m_expanded = expanded;
    const int twips = expanded ? kExpandedTwips : kCollapsedTwips;
    setFixedSize(Px(kClientWidthTwips), Px(twips - kFrameTwips));
    // Collapsed, the results are out of sight, and out of a screen reader's way too.
    for (QWidget* result : {static_cast<QWidget*>(Label3), static_cast<QWidget*>(List1),
                            static_cast<QWidget*>(List2)})
        result->setVisible(expanded);
    Command3D3->setIcon(expanded ? Picture1 : Picture2);
    Command3D3->setAccessibleName(expanded ? "Hide the results" : "Show the results");
    Command3D3->setToolTip(Command3D3->accessibleName());
}

void Form12::Command3D3_Click() {
    SetExpanded(!m_expanded);
}

void Form12::Check3D4_Click() {
    if (Check3D4->isChecked())
        Check3D3->setChecked(false);
}

void Form12::Command3D2_Click() {
    close();
}

void Form12::done(int result) {
    m_stopRequested = true;  // a running search ends at once
    m_searchAgain = false;
    CentredDialog::done(result);
}

void Form12::Command3D1_Click() {
    if (m_searching) {
        // The running search stops at its next step, and this one starts after it.
        m_stopRequested = true;
        m_searchAgain = true;
        return;
    }
    do {
        m_searchAgain = false;
        m_stopRequested = false;
        if (Text1->text().isEmpty() || !isVisible())
            return;
        RunSearch();
    } while (m_searchAgain);
}

void Form12::RunSearch() {
    m_searching = true;
    m_names->Clear();
    m_sizes->Clear();
    m_shownRows = 0;
    m_shownSelected = 0;
    const std::string& separator = m_session.GroupSeparator();
    ShowText(Label2, platform::FromLatin1(FoundText(0, separator)));
    ShowText(Label4, "");

    const SearchOptions options{Check3D2->isChecked(), Check3D3->isChecked(),
                                Check3D4->isChecked()};
    SearchHooks hooks;
    hooks.progress = [&](std::int64_t position, const SearchResults& soFar) {
        ShowProgress(soFar, SearchingText(position, separator), false);
    };
    hooks.cancelRequested = [this] { return m_stopRequested; };
    SearchResults results;
    m_sinceShown.invalidate();  // the first step shows itself at once
    const Result result =
        SearchOpenArchive(m_session, platform::ToLatin1(Text1->text()), options, results, hooks);
    m_searching = false;
    if (result.status == Result::Status::Cancelled && !isVisible())
        return;  // closed while it ran
    ShowProgress(results, result.IsDone() ? kSearchFinishedText : "", true);
    if (result.status == Result::Status::Failed)
        platform::ShowMessage(this, platform::FromLatin1(result.message), kCaption,
                              Icon::Exclamation);
    if (result.IsDone() && results.Found() > 0)
        SetExpanded(true);
}

void Form12::ShowProgress(const SearchResults& soFar, const std::string& progress, bool now) {
    if (!now && m_sinceShown.isValid() && m_sinceShown.elapsed() < kProgressEveryMs)
        return;
    m_names->Append(soFar.rows, m_shownRows);
    m_sizes->Append(soFar.rows, m_shownRows);
    m_shownRows = soFar.Found();
    ShowText(Label2, platform::FromLatin1(FoundText(soFar.Found(), m_session.GroupSeparator())));
    ShowText(Label4, platform::FromLatin1(progress));
    if (Check3D1->isChecked() && m_shownSelected < soFar.selected.size()) {
        m_session.SelectEntries({soFar.selected.begin() + m_shownSelected, soFar.selected.end()});
        m_shownSelected = soFar.selected.size();
    }
    Label2->repaint();
    Label4->repaint();
    if (!now)
        QCoreApplication::processEvents();
    m_sinceShown.start();
}

void Form12::ShowText(QLabel* label, const QString& text) {
    label->setText(text);
    const QString caption = label == Label2 ? "Found" : "Progress";
    label->setAccessibleName(text.isEmpty() ? caption : text);
}

}  // namespace karvex
