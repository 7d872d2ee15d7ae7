// The registry's tree: folded names and paths, finding and adding keys. Shared by the store and
// its text format.
#ifndef PLATFORM_KERNEL_REGISTRY_TREE_H
#define PLATFORM_KERNEL_REGISTRY_TREE_H

#include "kernel/registry_store.h"

const char16_t *RootName(RegistryRoot root);
// Names compare as lstrcmpi compares them.
std::u16string Fold(std::u16string_view name);
// The tree's index for the key that the first `count` names of path lead to.
std::u16string FoldedPath(const RegistryKeyPath &path, size_t count);
std::u16string FoldedPath(const RegistryKeyPath &path);
// Adds the key and every missing key on the way; each keeps the case it was first given.
RegistryKey &EnsureKey(RegistryTree &tree, const RegistryKeyPath &path, bool *created = nullptr);
// Roots always exist, whether or not the tree holds them yet.
const RegistryKey *FindKey(const RegistryTree &tree, const RegistryKeyPath &path);

#endif
