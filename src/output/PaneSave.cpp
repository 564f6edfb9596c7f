#include "output/PaneSave.h"

#include "data/FileIo.h"
#include "output/TextPane.h"
#include "ui/Dialogs.h"

namespace vel {

void savePane(QWidget* owner, const QString& dialogName, const TextPane& pane) {
    auto name = ui::dialogs().saveFile(owner, dialogName);
    if (!name)
        return;
    writeWholeFile(*name, pane.fileBytes(), WriteErrors::Stream);
}

} // namespace vel
