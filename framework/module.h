// What every gauge file of a module uses: the host operations, the module's
// standard routines and the constructor of a gauge header.
#pragma once

#include "gauge.h"

extern "C" {
// Entry 1 holds the host service table once the host has loaded the module.
extern GAUGE_EXPORT ImportEntry ImportTable[2];
}

// Host operations; each module code path calls them through ImportTable.
void toggle_panel_window(uint32_t window);
void trigger_key_event(uint32_t key_event, uint32_t value);
void lookup_token(TokenVar* var);

// The standard routines shared by every gauge header of the module. Each
// passes the root element of the module's first gauge to the host's
// element-list service of the same name.
void GAUGE_CALL standard_query();
void GAUGE_CALL standard_install(uint32_t value);
void GAUGE_CALL standard_initialise();
void GAUGE_CALL standard_update();
void GAUGE_CALL standard_generate(uint32_t value);
void GAUGE_CALL standard_draw();
void GAUGE_CALL standard_kill();

// Module init and deinit routines for Linkage: they do nothing.
void GAUGE_CALL module_init();
void GAUGE_CALL module_deinit();

// The module's first gauge in Linkage order, defined by the module's
// linkage file (null in a module without gauges).
extern GaugeHeader* const module_first_gauge;

// A gauge header with the module's standard routines. `size` is the width of
// the gauge's background bitmap.
constexpr GaugeHeader gauge_header(const char* name, uint32_t size, ElementHeader** root,
                                   MouseArea* mouse_list, GaugeCallback callback = nullptr)
{
    return GaugeHeader{GAUGE_HEADER_VERSION, name, root, standard_query, standard_install,
                       standard_initialise, standard_update, standard_generate, standard_draw,
                       standard_kill, 0, size, 0, mouse_list, callback, nullptr, 0, 0};
}

// Number of rows of a static table.
template <typename T, size_t N>
constexpr uint32_t rows_of(const T (&)[N])
{
    return N;
}
