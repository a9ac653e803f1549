#pragma once
// One bridge per user: two would send every contact twice. The running
// bridge holds a file in the user's own local application data open with
// no sharing; only the user (and administrators) may write there, so no
// other account can take the name first, and no object of another kind can
// stand in for it. The system lets go of it when the process ends, however
// it ends.

#include "unique_handle.h"

#include <string>

class SingleStart {
public:
    // True when this copy may run: the lock is held until the object goes.
    // Otherwise the first copy is brought to the front, or a box says why
    // this one ends.
    bool Claim();

private:
    plovik::win32::UniqueFile m_lock;
};
