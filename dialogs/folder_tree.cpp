#include "dialogs/folder_tree.h"

#include <cstdlib>

namespace {

FolderNode *find_child(FolderNode *first, LPCWSTR name) {
    for (FolderNode *n = first; n; n = n->next)
        if (wcscasecmp(n->name, name) == 0) return n;
    return nullptr;
}

// Before the first sibling whose name is greater.
void insert_sorted(FolderNode **first, FolderNode *node) {
    FolderNode **at = first;
    while (*at && wcscasecmp((*at)->name, node->name) <= 0) at = &(*at)->next;
    node->next = *at;
    *at = node;
}

void append(FolderNode **first, FolderNode *node) {
    FolderNode **at = first;
    while (*at) at = &(*at)->next;
    *at = node;
}

}  // namespace

bool folder_tree_add(FolderNode **top, LPCWSTR path) {
    FolderNode **siblings = top;
    bool top_level = true;
    while (*path) {
        while (*path == L'\\') path++;
        size_t length = wcscspn(path, L"\\");
        if (length == 0) break;
        WCHAR name[MAX_PATH];
        swprintf(name, MAX_PATH, L"%.*ls", int(length < MAX_PATH ? length : MAX_PATH - 1), path);
        path += length;
        FolderNode *node = find_child(*siblings, name);
        if (!node) {
            node = static_cast<FolderNode *>(calloc(1, sizeof(FolderNode)));
            if (!node) return false;
            swprintf(node->name, MAX_PATH, L"%ls", name);
            if (top_level)
                append(siblings, node);
            else
                insert_sorted(siblings, node);
        }
        siblings = &node->child;
        top_level = false;
    }
    return true;
}

void free_folder_tree(FolderNode *top) {
    while (top) {
        FolderNode *next = top->next;
        free_folder_tree(top->child);
        free(top);
        top = next;
    }
}
