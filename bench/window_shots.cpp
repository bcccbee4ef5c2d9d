// SPDX-License-Identifier: GPL-3.0-or-later
// karvex32-window-shots FOLDER [ARCHIVE]: draws every window and dialog with the program's font and
// saves each as FOLDER/NAME.png, so that a person can check that no caption is clipped.
// Run it under a real X server (xvfb-run) or Qt's offscreen platform.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include "core/archive_session.h"
#include "core/text.h"
#include "dialogs/about_box.h"
#include "dialogs/extract_dialog.h"
#include "dialogs/make_dialog.h"
#include "dialogs/open_dialog.h"
#include "dialogs/select_dialog.h"
#include "mainwindow/artwork.h"
#include "mainwindow/main_window.h"
#include "platform/program_font.h"
#include "search/search_window.h"
#include "trucks/results_window.h"
#include "viewers/palette_viewer.h"
#include "viewers/text_viewer.h"
#include "viewers/texture_viewer.h"
#include "viewers/wave_player.h"

namespace {

void Save(QWidget& window, const QDir& folder, const QString& name) {
    window.show();
    QApplication::processEvents();
    window.grab().save(folder.filePath(name + ".png"));
    window.hide();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    QApplication::setFont(karvex::platform::ProgramFont());
    QApplication::setWindowIcon(karvex::ProgramIcon());
    const QDir folder(argc > 1 ? argv[1] : ".");
    qInfo("font: %s", qPrintable(QFontInfo(QApplication::font()).family()));
    folder.mkpath(".");

    karvex::ArchiveSession session;
    karvex::Form1 main(session);
    main.Startup(argc > 2 ? argv[2] : "");
    Save(main, folder, "main-window");
    main.show();
    main.SetListsShown(false);  // the overlay a load shows
    Save(main, folder, "main-window-loading");
    main.SetListsShown(true);

    karvex::ArchiveState& state = session.State();
    karvex::Form2 open(state);
    Save(open, folder, "open-dialog");
    karvex::Form3 make(state);
    Save(make, folder, "make-dialog");
    karvex::Form4 extract(state);
    Save(extract, folder, "extract-dialog");
    karvex::Form6 select(state);
    Save(select, folder, "select-dialog");
    karvex::Form10 about;
    Save(about, folder, "about-box");
    karvex::Form12 search(session);
    Save(search, folder, "search-window");
    search.findChild<QLineEdit*>("Text1")->setText("truck");
    search.show();
    search.Command3D1_Click();
    Save(search, folder, "search-window-results");

    // The viewers, on the first entry of each kind in the archive given.
    auto record = [&](const char* kind) {
        const karvex::EntryTable& table = session.Table();
        for (int i = 0; i < table.Count(); ++i) {
            if (karvex::ContainsNoCase(table.Name(i), kind)) {
                state.EntryIndex = i;
                state.SelectedName = table.Name(i);
                state.SelectedSize = static_cast<std::int32_t>(table.SizeOf(i));
                state.SelectedOffset = static_cast<std::int32_t>(table.OffsetOf(i));
                return true;
            }
        }
        return false;
    };
    if (record(".raw")) {
        karvex::Form5 texture(session);
        Save(texture, folder, "texture-viewer");
    }
    if (record(".act")) {
        karvex::Form8 palette(session);
        Save(palette, folder, "palette-viewer");
    }
    if (record(".txt")) {
        karvex::Form11 text(session);
        Save(text, folder, "text-viewer");
    }
    if (record(".trk")) {
        karvex::Form9 results(session, karvex::Analysis::Truck);
        Save(results, folder, "results-window");
    }
    if (record(".wav")) {
        // The player works on a copy of the entry, as View makes one.
        QTemporaryDir scratch;
        QFile copy(scratch.filePath("karvex.wav"));
        if (copy.open(QIODevice::WriteOnly)) {
            session.ReadEntry(state.EntryIndex, [&](std::string_view block) {
                const auto count = static_cast<qint64>(block.size());
                return copy.write(block.data(), count) == count;
            });
            copy.close();
        }
        karvex::Form13 player(session, copy.fileName());
        Save(player, folder, "wave-player");
    }
    return 0;
}
