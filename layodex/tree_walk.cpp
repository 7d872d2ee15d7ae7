#include "tree_walk.h"

#include "layodex_internal.h"
#include "pointer_table.h"
#include "work_stack.h"

typedef struct LayoutStep {
    KeyboardLayout *layout;
    int depth;
} LayoutStep;

// The targets go on the stack last key first, so that the first key's target comes off next.
static BOOL PushTargets(WorkStack *stack, const LayoutStep *step) {
    BOOL pushed = TRUE;
    for (Element *node = step->layout->keys; node != NULL; node = node->next) {
        KeyDef *key = (KeyDef *)node->data;
        if (key == NULL || !KeyHasLayoutTarget(key))
            continue;
        LayoutStep next = {(KeyboardLayout *)key->target, step->depth + 1};
        if (!PushWork(stack, &next))
            pushed = FALSE;
    }
    return pushed;
}

BOOL WalkLayoutTree(KeyboardLayout *root, LayoutVisitor visit, void *context) {
    WorkStack stack;
    StartWorkStack(&stack, sizeof(LayoutStep));
    PointerTable visited = {};
    LayoutStep first = {root, 0};
    BOOL complete = root == NULL || PushWork(&stack, &first);
    while (stack.count > 0) {
        LayoutStep step = *(const LayoutStep *)TopWork(&stack);
        PopWork(&stack);
        if (FindInPointerTable(&visited, step.layout) != NULL)
            continue;
        if (!AddToPointerTable(&visited, step.layout, NULL)) {
            complete = FALSE;
            continue;
        }
        if (visit(step.layout, step.depth, context) == WALK_STOP)
            break;
        if (!PushTargets(&stack, &step))
            complete = FALSE;
    }
    ReleaseWorkStack(&stack);
    ReleasePointerTable(&visited);
    return complete;
}
