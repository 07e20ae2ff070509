#include "platform/linux/desktop/row_count_model.h"

namespace pavix {
namespace {

struct RowCountModel {
    GObject parent;
    gint count;
    gint stamp;  // changes with the count, so that an iterator of the old rows is no longer valid
};

struct RowCountModelClass {
    GObjectClass parent;
};

void InitModelInterface(GtkTreeModelIface* iface);

G_DEFINE_TYPE_WITH_CODE(RowCountModel, row_count_model, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(GTK_TYPE_TREE_MODEL, InitModelInterface))

RowCountModel* Of(GtkTreeModel* model) {
    return reinterpret_cast<RowCountModel*>(model);
}

void row_count_model_init(RowCountModel* model) {
    model->stamp = g_random_int();
}

void row_count_model_class_init(RowCountModelClass*) {}

bool SetIter(const RowCountModel& model, GtkTreeIter* iter, gint row) {
    if (row < 0 || row >= model.count) {
        iter->stamp = 0;
        return false;
    }
    iter->stamp = model.stamp;
    iter->user_data = GINT_TO_POINTER(row);
    return true;
}

gint RowOf(const GtkTreeIter* iter) {
    return GPOINTER_TO_INT(iter->user_data);
}

GtkTreeModelFlags GetFlags(GtkTreeModel*) {
    return GTK_TREE_MODEL_LIST_ONLY;
}

gint GetNColumns(GtkTreeModel*) {
    return 1;
}

GType GetColumnType(GtkTreeModel*, gint) {
    return G_TYPE_INT;
}

gboolean GetIter(GtkTreeModel* model, GtkTreeIter* iter, GtkTreePath* path) {
    return gtk_tree_path_get_depth(path) == 1 &&
           SetIter(*Of(model), iter, gtk_tree_path_get_indices(path)[0]);
}

GtkTreePath* GetPath(GtkTreeModel*, GtkTreeIter* iter) {
    return gtk_tree_path_new_from_indices(RowOf(iter), -1);
}

void GetValue(GtkTreeModel*, GtkTreeIter* iter, gint, GValue* value) {
    g_value_init(value, G_TYPE_INT);
    g_value_set_int(value, RowOf(iter));
}

gboolean IterNext(GtkTreeModel* model, GtkTreeIter* iter) {
    return SetIter(*Of(model), iter, RowOf(iter) + 1);
}

gboolean IterPrevious(GtkTreeModel* model, GtkTreeIter* iter) {
    return SetIter(*Of(model), iter, RowOf(iter) - 1);
}

gboolean IterChildren(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent) {
    return parent == nullptr && SetIter(*Of(model), iter, 0);
}

gboolean IterHasChild(GtkTreeModel*, GtkTreeIter*) {
    return FALSE;
}

gint IterNChildren(GtkTreeModel* model, GtkTreeIter* iter) {
    return iter == nullptr ? Of(model)->count : 0;
}

gboolean IterNthChild(GtkTreeModel* model, GtkTreeIter* iter, GtkTreeIter* parent, gint n) {
    return parent == nullptr && SetIter(*Of(model), iter, n);
}

gboolean IterParent(GtkTreeModel*, GtkTreeIter*, GtkTreeIter*) {
    return FALSE;
}

void InitModelInterface(GtkTreeModelIface* iface) {
    iface->get_flags = GetFlags;
    iface->get_n_columns = GetNColumns;
    iface->get_column_type = GetColumnType;
    iface->get_iter = GetIter;
    iface->get_path = GetPath;
    iface->get_value = GetValue;
    iface->iter_next = IterNext;
    iface->iter_previous = IterPrevious;
    iface->iter_children = IterChildren;
    iface->iter_has_child = IterHasChild;
    iface->iter_n_children = IterNChildren;
    iface->iter_nth_child = IterNthChild;
    iface->iter_parent = IterParent;
}

}  // namespace

GtkTreeModel* NewRowCountModel(gint count) {
    auto* model = static_cast<RowCountModel*>(g_object_new(row_count_model_get_type(), nullptr));
    model->count = count < 0 ? 0 : count;
    return GTK_TREE_MODEL(model);
}

gint RowCountModelSize(GtkTreeModel* model) {
    return Of(model)->count;
}

void ResizeRowCountModel(GtkTreeModel* tree, gint count) {
    RowCountModel& model = *Of(tree);
    while (model.count > count && model.count > 0) {
        RemoveRowCountModelRow(tree, model.count - 1);
    }
    while (model.count < count) {
        ++model.count;
        ++model.stamp;
        GtkTreeIter iter;
        SetIter(model, &iter, model.count - 1);
        GtkTreePath* path = gtk_tree_path_new_from_indices(model.count - 1, -1);
        gtk_tree_model_row_inserted(tree, path, &iter);
        gtk_tree_path_free(path);
    }
}

void RemoveRowCountModelRow(GtkTreeModel* tree, gint row) {
    RowCountModel& model = *Of(tree);
    if (row < 0 || row >= model.count) {
        return;
    }
    --model.count;
    ++model.stamp;
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    gtk_tree_model_row_deleted(tree, path);
    gtk_tree_path_free(path);
}

}  // namespace pavix
