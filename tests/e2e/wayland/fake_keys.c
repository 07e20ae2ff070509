/* Types chords on a KWin session through its fake-input protocol, which goes through KWin's own
 * input and shortcut handling as a keyboard's keys do. Reads one line per request from standard
 * input, "ctrl+alt+a shift+F5 ...", types the chords one after another (modifiers down, key down,
 * key up, modifiers up) and answers "ok <ns>" once KWin has taken them, <ns> the CLOCK_MONOTONIC
 * time at which the last chord's key was sent down, or "error <what>".
 *
 *   pavix_e2e_fake_keys        (WAYLAND_DISPLAY names KWin's socket)
 */
#include <linux/input-event-codes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input* fakeInput;
static long long lastKeyDown; /* ns */

static void OnGlobal(void* data, struct wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t version) {
    (void)data;
    if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
        fakeInput = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
    }
}

static void OnGlobalRemove(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data, (void)registry, (void)name;
}

static const struct wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

/* The evdev code of a key as the scenarios name it: a letter, a digit, F1..F12, or 0. */
static int KeyCode(const char* name) {
    static const char kLetters[] = "qwertyuiopasdfghjklzxcvbnm";
    static const int kLetterCodes[] = {
        KEY_Q, KEY_W, KEY_E, KEY_R, KEY_T, KEY_Y, KEY_U, KEY_I, KEY_O, KEY_P, KEY_A, KEY_S, KEY_D,
        KEY_F, KEY_G, KEY_H, KEY_J, KEY_K, KEY_L, KEY_Z, KEY_X, KEY_C, KEY_V, KEY_B, KEY_N, KEY_M};
    static const int kFunctionCodes[] = {KEY_F1, KEY_F2, KEY_F3, KEY_F4,  KEY_F5,  KEY_F6,
                                         KEY_F7, KEY_F8, KEY_F9, KEY_F10, KEY_F11, KEY_F12};
    if (strlen(name) == 1 && name[0] >= 'a' && name[0] <= 'z') {
        return kLetterCodes[strchr(kLetters, name[0]) - kLetters];
    }
    if (strlen(name) == 1 && name[0] >= '1' && name[0] <= '9') {
        return KEY_1 + (name[0] - '1');
    }
    if (strcmp(name, "0") == 0) {
        return KEY_0;
    }
    if (name[0] == 'F' && atoi(name + 1) >= 1 && atoi(name + 1) <= 12) {
        return kFunctionCodes[atoi(name + 1) - 1];
    }
    if (strcmp(name, "Return") == 0) {
        return KEY_ENTER;
    }
    return strcmp(name, "Escape") == 0 ? KEY_ESC : 0;
}

static int ModifierCode(const char* name) {
    return strcmp(name, "ctrl") == 0    ? KEY_LEFTCTRL
           : strcmp(name, "alt") == 0   ? KEY_LEFTALT
           : strcmp(name, "shift") == 0 ? KEY_LEFTSHIFT
           : strcmp(name, "super") == 0 ? KEY_LEFTMETA
                                        : 0;
}

static void Key(struct wl_display* display, int code, int pressed) {
    /* A pause between keys, as a hand makes: KWin takes a key's modifiers from its own state. */
    const struct timespec pause = {0, 5 * 1000 * 1000};
    org_kde_kwin_fake_input_keyboard_key(fakeInput, (uint32_t)code, pressed ? 1 : 0);
    wl_display_roundtrip(display);
    nanosleep(&pause, NULL);
}

/* Types "ctrl+alt+a"; 0 when a part of it names no key. */
static int TypeChord(struct wl_display* display, char* chord) {
    int codes[8];
    int count = 0;
    for (char* part = strtok(chord, "+"); part != NULL && count < 8; part = strtok(NULL, "+")) {
        codes[count] = ModifierCode(part) != 0 ? ModifierCode(part) : KeyCode(part);
        if (codes[count++] == 0) {
            return 0;
        }
    }
    for (int i = 0; i < count; ++i) {
        if (i == count - 1) {
            struct timespec now;
            clock_gettime(CLOCK_MONOTONIC, &now);
            lastKeyDown = now.tv_sec * 1000000000LL + now.tv_nsec;
        }
        Key(display, codes[i], 1);
    }
    for (int i = count - 1; i >= 0; --i) {
        Key(display, codes[i], 0);
    }
    return count > 0;
}

int main(void) {
    struct wl_display* display = wl_display_connect(NULL);
    if (display == NULL) {
        fprintf(stderr, "fake_keys: cannot connect to the Wayland display\n");
        return 1;
    }
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistryListener, NULL);
    wl_display_roundtrip(display);
    if (fakeInput == NULL) {
        fprintf(stderr, "fake_keys: the compositor offers no org_kde_kwin_fake_input 4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "Pavix tests", "types the scenarios' keys");
    wl_display_roundtrip(display);
    char line[4096];
    while (fgets(line, sizeof line, stdin) != NULL) {
        char* save = NULL;
        const char* failed = NULL;
        for (char* chord = strtok_r(line, " \n", &save); chord != NULL && failed == NULL;
             chord = strtok_r(NULL, " \n", &save)) {
            char copy[64];
            snprintf(copy, sizeof copy, "%s", chord);
            if (!TypeChord(display, copy)) {
                failed = chord;
            }
        }
        if (failed != NULL) {
            printf("error %s\n", failed);
        } else {
            printf("ok %lld\n", lastKeyDown);
        }
        fflush(stdout);
    }
    wl_display_disconnect(display);
    return 0;
}
