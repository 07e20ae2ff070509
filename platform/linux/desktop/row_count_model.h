// The rows of an owner-data list as GTK's tree view wants them: a model that holds only its
// count, row N being the path N, whose texts the dialog supplies when the view draws it. A new
// model of any size costs nothing to make, unlike a list store filled row by row; changes of
// the count are told to the view (and through it the accessibility bridge) row by row.
#pragma once

#include <gtk/gtk.h>

namespace pavix {

GtkTreeModel* NewRowCountModel(gint count);
gint RowCountModelSize(GtkTreeModel* model);
// Rows gained or lost at the end, each told as inserted or deleted.
void ResizeRowCountModel(GtkTreeModel* model, gint count);
void RemoveRowCountModelRow(GtkTreeModel* model, gint row);

}  // namespace pavix
