// The order of a sorted list box: Windows' default word sort with case ignored, as the list box
// compares its strings (CompareString with NORM_IGNORECASE in the user's locale). Punctuation
// comes before digits and digits before letters; an accented letter sorts with its base letter
// and after it only when everything else is equal; hyphens and apostrophes count only last.
#ifndef PLATFORM_CONTROLS_LIST_ORDER_H
#define PLATFORM_CONTROLS_LIST_ORDER_H

#include <string>

// Less than zero, zero or more than zero as a sorts before, with or after b.
int CompareListTexts(const std::u16string &a, const std::u16string &b);

#endif
