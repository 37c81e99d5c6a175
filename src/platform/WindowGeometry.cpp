#include "platform/WindowGeometry.h"

namespace quorvel {

WindowPosition centredWindowPosition(int screenWidth, int screenHeight, int clientWidth,
                                     int clientHeight) {
    // each halving rounds toward zero, as integer division does
    return {screenWidth / 2 - clientWidth / 2, screenHeight / 2 - clientHeight / 2};
}

}  // namespace quorvel
