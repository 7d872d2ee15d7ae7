// Walking a layout tree: the layout, then what each of its keys leads to in list order, each
// layout once, however deep the tree and whatever cycles it holds.
#ifndef LAYODEX_TREE_WALK_H
#define LAYODEX_TREE_WALK_H

#include "layodex.h"

#define WALK_ON 0   // go on to what the layout's keys lead to
#define WALK_STOP 1 // the walk is over

// depth: how many keys lead from the first layout to this one on the walk's path.
typedef int (*LayoutVisitor)(KeyboardLayout *layout, int depth, void *context);

// Visits in the order a recursive walk would (pre-order). FALSE when memory ran out, and some
// layouts may then not have been visited.
BOOL WalkLayoutTree(KeyboardLayout *root, LayoutVisitor visit, void *context);

#endif
