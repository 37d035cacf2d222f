// The module half of the host binding: ImportTable, the standard routines,
// the host operations and the library entry point. Compiled into each
// module separately.
#include "module.h"

extern "C" {
ImportEntry ImportTable[2] = {
    {IMPORT_SERVICE_TABLE_ID, nullptr},
    {0, nullptr},
};
}

static HostServiceTable* host()
{
    return ImportTable[0].services;
}

void toggle_panel_window(uint32_t window)
{
    host()->toggle_window(window);
}

void trigger_key_event(uint32_t key_event, uint32_t value)
{
    host()->trigger_key_event(key_event, value);
}

void lookup_token(TokenVar* var)
{
    host()->lookup_var(var);
}

static ElementHeader* first_root()
{
    return *module_first_gauge->element_list;
}

void GAUGE_CALL standard_query() { host()->query(first_root()); }
void GAUGE_CALL standard_install(uint32_t value) { host()->install(first_root(), value); }
void GAUGE_CALL standard_initialise() { host()->initialise(first_root()); }
void GAUGE_CALL standard_update() { host()->update(first_root()); }
void GAUGE_CALL standard_generate(uint32_t value) { host()->generate(first_root(), value); }
void GAUGE_CALL standard_draw() { host()->draw(first_root()); }
void GAUGE_CALL standard_kill() { host()->kill(first_root()); }

void GAUGE_CALL module_init() {}
void GAUGE_CALL module_deinit() {}

#if defined(_WIN32)
#include <windows.h>

// Library entry point: nothing to set up or tear down for any reason code.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
#endif
