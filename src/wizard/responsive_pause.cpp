#include "wizard/responsive_pause.h"

#include <QElapsedTimer>
#include <algorithm>

namespace upd {

void pauseResponsively(EventLoop& loop, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds) {
        loop.yield();
        const qint64 left = milliseconds - clock.elapsed();
        if (left > 0)
            loop.sleep(static_cast<int>(std::min<qint64>(left, 10)));
    }
}

} // namespace upd
