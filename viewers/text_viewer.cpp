// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/text_viewer.h"

#include <QListView>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

#include "platform/latin1.h"
#include "platform/naming.h"
#include "platform/twips.h"
#include "viewers/text_lines.h"

namespace karvex {

using platform::Px;

namespace {

// The window at design: its client area.
constexpr int kDesignWidth = 7365;
constexpr int kDesignHeight = 5685;

// Room for the frame and title bar in an outer size given in twips.
constexpr int kFrameAcross = 125;
constexpr int kFrameDown = 400;

// The rows read together when one is shown, and the text they may hold.
constexpr std::int64_t kBlockLines = 256;
constexpr std::size_t kBlockBytes = 1024 * 1024;

}  // namespace

TextLinesModel::TextLinesModel(const Session& session, QObject* parent)
    : QAbstractListModel(parent), m_session(session) {}

void TextLinesModel::Open(int i) {
    beginResetModel();
    m_index.Open(m_session, i);
    m_first = 0;
    m_rows = 0;
    m_cacheFirst = 0;
    m_cache.clear();
    endResetModel();
}

int TextLinesModel::WindowRows() const {
    return static_cast<int>(std::clamp<std::int64_t>(m_index.Lines() - m_first, 0, kWindowRows));
}

void TextLinesModel::CountMore(std::int64_t bytes) {
    (void)m_index.CountMore(m_session, bytes);
    const int rows = WindowRows();
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void TextLinesModel::ShowFrom(std::int64_t line) {
    line = std::clamp<std::int64_t>(line, 0, std::max<std::int64_t>(0, LineCount() - kWindowRows));
    if (line == m_first)
        return;
    beginResetModel();
    m_first = line;
    m_rows = WindowRows();
    endResetModel();
}

int TextLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows)
        return {};
    const std::int64_t line = m_first + index.row();
    if (line < m_cacheFirst || line >= m_cacheFirst + static_cast<std::int64_t>(m_cache.size())) {
        // A screenful of rows, read together; a failed read shows them empty.
        m_cacheFirst = line;
        (void)m_index.ReadLines(m_session, line, kBlockLines, kBlockBytes, m_cache);
        if (m_cache.empty())
            return QString();
    }
    const ShownLine& shown = m_cache[static_cast<std::size_t>(line - m_cacheFirst)];
    QString text = platform::FromLatin1(shown.text);
    if (shown.goesOn)
        text += QChar(0x2026);
    return text;
}

QSize FrameAllowanceInside(const QWidget* window) {
    const QSize frame = window->frameGeometry().size() - window->size();
    return {std::max(0, Px(kFrameAcross) - frame.width()),
            std::max(0, Px(kFrameDown) - frame.height())};
}

Form11::Form11(Session& session, QWidget* parent)
    : CentredDialog(parent), m_session(session), m_lines(session, this) {
    setObjectName("Form11");
    // A sizable frame, with a maximise button as well as the close box.
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(Px(kDesignWidth), Px(kDesignHeight));

    List1 = platform::Named(new QListView(this), "List1");
    List1->setModel(&m_lines);
    // Every line is one text row of the same height, so the view need not measure 100,000
    // of them to lay them out.
    List1->setUniformItemSizes(true);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->move(0, 0);
    QScrollBar* scroll = List1->verticalScrollBar();
    connect(scroll, &QScrollBar::valueChanged, this, &Form11::FollowScroll);
    connect(scroll, &QScrollBar::sliderReleased, this, &Form11::FollowScroll);
    connect(&m_counting, &QTimer::timeout, this, &Form11::CountStep);

    Form_Load();
    Form_Resize();
}

void Form11::Form_Load() {
    setWindowTitle(platform::FromLatin1(m_session.State().SelectedName));
    TextLinesLoad();
}

void Form11::Form_Resize() {
    List1->resize(size() - FrameAllowanceInside(this));
}

void Form11::TextLinesLoad() {
    m_counting.stop();
    m_lines.Open(m_session.State().EntryIndex);
    m_lines.CountMore(kFirstCount);
    NameTheList();
    if (!m_lines.Complete())
        m_counting.start(0);
}

void Form11::CountStep() {
    m_lines.CountMore(kCountStep);
    NameTheList();
    if (m_lines.Complete())
        m_counting.stop();
}

void Form11::NameTheList() {
    List1->setAccessibleName(
        QString("%1 lines of %2").arg(m_lines.LineCount()).arg(windowTitle().trimmed()));
}

void Form11::FollowScroll() {
    constexpr int kWindow = TextLinesModel::kWindowRows;
    if (m_lines.LineCount() <= kWindow || List1->verticalScrollBar()->isSliderDown())
        return;
    const QModelIndex top = List1->indexAt(QPoint(0, 0));
    if (!top.isValid())
        return;
    const std::int64_t first = m_lines.FirstShown();
    std::int64_t moved = first;
    if (top.row() < kWindow / 8)
        moved = first - kWindow / 2;
    else if (top.row() > kWindow - kWindow / 8)
        moved = first + kWindow / 2;
    const std::int64_t topLine = first + top.row();
    const QModelIndex current = List1->currentIndex();
    const std::int64_t currentLine = current.isValid() ? first + current.row() : -1;
    m_lines.ShowFrom(moved);
    const std::int64_t now = m_lines.FirstShown();
    if (now == first)
        return;
    // The same lines stay where they were on screen, the current one included.
    if (currentLine >= now && currentLine < now + m_lines.rowCount())
        List1->setCurrentIndex(m_lines.index(static_cast<int>(currentLine - now)));
    List1->scrollTo(m_lines.index(static_cast<int>(topLine - now)),
                    QAbstractItemView::PositionAtTop);
}

void Form11::resizeEvent(QResizeEvent* event) {
    CentredDialog::resizeEvent(event);
    Form_Resize();
}

void Form11::moveEvent(QMoveEvent* event) {
    CentredDialog::moveEvent(event);
    Form_Resize();
}

}  // namespace karvex
