// The help window, its bilingual page and what its links do.
#include "app/help_window.h"

#include <FL/Fl_Help_View.H>
#include <FL/filename.H>

#include <cstring>

#include "app/app.h"
#include "app/app_version.h"
#include "texts/ui_texts.h"
#include "ui/modern_dialog.h"
#include "ui/palette.h"
#include "ui/window_frame.h"

namespace fan {

namespace {

// Each body closes the h1 that the page opens and ends inside the bold
// element that receives the version, so both languages share one frame.
constexpr const char* kEnglishBody =
    "</h1>\n"
    "<p><b>A disk-space map for Windows and Linux.</b><br>\n"
    "fanOrbiter walks a folder or a whole drive and draws where the space went as "
    "rings around a centre, so the largest branches stand out at a glance and can be "
    "opened one level after another.</p>\n"
    "<h2>Reading the map</h2>\n<ul>\n"
    "<li>The inner ring holds the direct contents of the selected folder.</li>\n"
    "<li>The wider a sector, the more space the object takes.</li>\n"
    "<li>Each outer ring shows the folders nested one level deeper.</li>\n"
    "<li>The grey sector gathers the files and the folders too small for a sector of "
    "their own.</li>\n"
    "<li>The centre ring shows the volume: used space, free space (drawn light) and any "
    "reserve or quota the system keeps back.</li>\n"
    "</ul>\n"
    "<h2>Live scanning</h2>\n"
    "<p>A new scan removes the old map at once. As soon as the entries at the top of "
    "the scanned folder are known, a live preview ring shows them: dim sectors are still "
    "waiting, brighter ones are being scanned and clear ones are complete. The sizes in "
    "the preview are approximate until the scan ends and the full map appears.</p>\n"
    "<h2>Controls</h2>\n<ul>\n"
    "<li><b>Left click</b> on a folder opens it.</li>\n"
    "<li><b>Center of the chart</b> or <b>Backspace</b> goes up one level.</li>\n"
    "<li><b>Right click</b> opens the context menu: file manager, copy path, terminal, "
    "rescan, Trash.</li>\n"
    "<li><b>Alt+Left</b> returns to the previous view.</li>\n"
    "<li><b>F5</b> scans the current path again.</li>\n"
    "<li><b>Escape</b> stops a running scan.</li>\n"
    "<li><b>F1</b> opens this help.</li>\n"
    "<li><b>Ctrl+F</b> opens the largest files and the search by name.</li>\n"
    "<li><b>Gear</b> holds the language, the theme, the detail mode at start-up, whether "
    "the last detail mode is restored and whether the live preview is shown.</li>\n"
    "<li><b>Trash / broom icons</b> in the status bar empty the Trash after a confirmation "
    "or open it in the system file manager.</li>\n"
    "</ul>\n"
    "<h2>Drive sources</h2>\n"
    "<p>For a local volume the model of the physical drive behind it is shown. For a "
    "network volume the protocol and the remote host are shown instead, for example "
    "<b>SMB 192.168.1.20</b>.</p>\n"
    "<h2>About</h2>\n"
    "<p>fanOrbiter only reads the folders it scans; it changes nothing unless you move "
    "an item to the Trash or empty the Trash yourself. Version: <b>";

constexpr const char* kRussianBody =
    "</h1>\n"
    "<p><b>Карта места на диске для Windows и Linux.</b><br>\n"
    "fanOrbiter обходит папку или целый диск и рисует, куда ушло место, кольцами вокруг "
    "центра: самые большие ветви видны сразу, и их можно открывать уровень за уровнем.</p>\n"
    "<h2>Как читать карту</h2>\n<ul>\n"
    "<li>Внутреннее кольцо показывает содержимое выбранной папки.</li>\n"
    "<li>Чем шире сектор, тем больше места занимает объект.</li>\n"
    "<li>Каждое следующее кольцо показывает папки на уровень глубже.</li>\n"
    "<li>Серый сектор собирает файлы и папки, слишком мелкие для собственного "
    "сектора.</li>\n"
    "<li>Центральное кольцо показывает том: занятое место, свободное (светлым) и резерв "
    "или квоту, если система их держит.</li>\n"
    "</ul>\n"
    "<h2>Живое сканирование</h2>\n"
    "<p>Новое сканирование сразу убирает старую карту. Как только найдено содержимое "
    "верхнего уровня, его показывает кольцо живого просмотра: тусклые секторы ждут "
    "очереди, более яркие сканируются, чёткие готовы. Размеры в просмотре приблизительны, "
    "пока сканирование не закончится и не появится полная карта.</p>\n"
    "<h2>Управление</h2>\n<ul>\n"
    "<li><b>Левая кнопка мыши</b> на папке открывает её.</li>\n"
    "<li><b>Центр диаграммы</b> или <b>Backspace</b> поднимает на уровень выше.</li>\n"
    "<li><b>Правая кнопка мыши</b> открывает контекстное меню: файловый менеджер, "
    "копирование пути, терминал, повторное сканирование, Корзина.</li>\n"
    "<li><b>Alt+Left</b> возвращает к предыдущему виду.</li>\n"
    "<li><b>F5</b> сканирует текущий путь заново.</li>\n"
    "<li><b>Escape</b> останавливает сканирование.</li>\n"
    "<li><b>F1</b> открывает эту справку.</li>\n"
    "<li><b>Ctrl+F</b> открывает крупнейшие файлы и поиск по имени.</li>\n"
    "<li><b>Шестерня</b> открывает настройки: язык, тему, режим детализации при запуске, "
    "запоминание последнего режима и живой просмотр.</li>\n"
    "<li><b>Корзина / метла</b> в строке состояния очищают Корзину после подтверждения "
    "или открывают её в системном файловом менеджере.</li>\n"
    "</ul>\n"
    "<h2>Источники дисков</h2>\n"
    "<p>Для локального тома показывается модель физического диска. Для сетевого тома "
    "вместо неё показываются протокол и удалённый узел, например "
    "<b>SMB 192.168.1.20</b>.</p>\n"
    "<h2>О программе</h2>\n"
    "<p>fanOrbiter только читает сканируемые папки и ничего не меняет, пока вы сами не "
    "переместите объект в Корзину или не очистите её. Версия: <b>";

bool isWebLink(const char* link) {
    return std::strncmp(link, "https://", 8) == 0 || std::strncmp(link, "http://", 7) == 0;
}

}  // namespace

std::string buildHelpHtml() {
    std::string page = darkTheme ? "<body bgcolor=\"#0f141a\" text=\"#eff4f7\" link=\"#6ddbb7\">"
                                 : "<body bgcolor=\"#f6f8fb\" text=\"#1b232b\" link=\"#168b6b\">";
    page += "\n<h1>fanOrbiter ";
    page += kVersionText;
    page += pickText(kEnglishBody, kRussianBody);
    page += kVersionText;
    page += "</b>.</p>\n</body>";
    return page;
}

const char* onHelpLink(Fl_Widget*, const char* link) {
    if (link == nullptr) return nullptr;
    if (!isWebLink(link)) return link;
    char message[512] = {};
    if (fl_open_uri(link, message, sizeof message) == 0) {
        // The toolkit says why (on X11 most often that no browser helper was
        // found); without a reason the link itself tells the user what failed.
        showMessageDialog(nullptr, uiText(txtActionFailed), uiText(txtCouldNotOpenLink),
                          message[0] != '\0' ? message : link);
    }
    return nullptr;
}

HelpWindow::HelpWindow() : Fl_Double_Window(720, 640) {
    copy_label(uiText(txtHelpTitle));
    color(themeBackground);
    size_range(560, 480);
    auto* view = new Fl_Help_View(18, 18, 684, 604);
    view->box(FL_FLAT_BOX);
    view->color(themeBackground);
    view->textcolor(themeText);
    view->textfont(0);
    view->textsize(14);
    view->link(onHelpLink);
    html = buildHelpHtml();
    view->value(html.c_str());
    end();
    resizable(view);
    callback(closeWindowCallback);
}

void App::showHelp(Fl_Widget*, void* data) {
    App& app = *static_cast<App*>(data);
    if (app.helpWindow == nullptr) app.helpWindow = new HelpWindow();
    app.helpWindow->show();
    applyWindowFrameTheme(app.helpWindow);
}

}  // namespace fan
