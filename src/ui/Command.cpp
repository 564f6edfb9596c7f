#include "ui/Command.h"

#include "data/Errors.h"
#include "ui/Dialogs.h"

#include <QString>

#include <exception>
#include <new>

namespace ui {

void runCommand(QWidget* owner, const std::function<void()>& work,
                const std::function<void(const vel::AppError&)>& afterError) {
    try {
        work();
    } catch (const vel::AppError& e) {
        dialogs().error(owner, vel::errorBoxText(e.message()));
        if (afterError)
            afterError(e);
    } catch (const std::bad_alloc&) {
        dialogs().error(owner, vel::errorBoxText(QStringLiteral("Out of memory")));
    } catch (const std::exception& e) {
        dialogs().error(owner, vel::errorBoxText(QString::fromLocal8Bit(e.what())));
    }
}

} // namespace ui
