// SPDX-License-Identifier: MIT
#pragma once

// Stores `value` in `field`; false when it was already there, so that a setter returns early and
// neither repaints nor notifies.
template <class T> bool StoreIfChanged(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}
