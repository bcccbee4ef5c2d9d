#include "text_viewer.h"

#include <QListView>
#include <QResizeEvent>
#include <algorithm>
#include <string_view>

#include "latin1.h"
#include "naming.h"
#include "text_lines.h"
#include "twips.h"

namespace karvex {

using platform::Px;

namespace {

// The window at design: its client area.
constexpr int kDesignWidth = 7365;
constexpr int kDesignHeight = 5685;

// Room for the frame and title bar in an outer size given in twips.
constexpr int kFrameAcross = 125;
constexpr int kFrameDown = 400;

}  // namespace

void TextLinesModel::SetItems(std::vector<std::string> items) {
    beginResetModel();
    m_items = std::move(items);
    endResetModel();
}

int TextLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant TextLinesModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return platform::FromLatin1(m_items[static_cast<std::size_t>(index.row())]);
}

QSize FrameAllowanceInside(const QWidget* window) {
    const QSize frame = window->frameGeometry().size() - window->size();
    return {std::max(0, Px(kFrameAcross) - frame.width()),
            std::max(0, Px(kFrameDown) - frame.height())};
}

Form11::Form11(ArchiveSession& session, QWidget* parent)
    : CentredDialog(parent), m_session(session), m_lines(this) {
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

    Form_Load();
    Form_Resize();
}

void Form11::Form_Load() {
    if (parentWidget())
        setWindowIcon(parentWidget()->window()->windowIcon());
    setWindowTitle(platform::FromLatin1(m_session.State().SelectedName));
    TextLinesLoad();
}

void Form11::Form_Resize() {
    List1->resize(size() - FrameAllowanceInside(this));
}

void Form11::TextLinesLoad() {
    std::vector<std::string> items;
    // A failed read shows no message: the lines read until then are all there is to list.
    (void)karvex::TextLinesLoad(m_session, m_session.State().EntryIndex,
                                [&](std::string_view item) { items.emplace_back(item); });
    const auto count = static_cast<qsizetype>(items.size());
    m_lines.SetItems(std::move(items));
    List1->setAccessibleName(QString("%1 lines of %2").arg(count).arg(windowTitle().trimmed()));
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
