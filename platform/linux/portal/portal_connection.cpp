#include "platform/linux/portal/portal_connection.h"

#include <gio/gio.h>

#include <algorithm>

namespace pavix {
namespace {

constexpr const char* kPortalName = "org.freedesktop.portal.Desktop";
constexpr const char* kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char* kShortcutsInterface = "org.freedesktop.portal.GlobalShortcuts";
// KDE files the user's own choices under the app id and this token: it never changes.
constexpr const char* kSessionToken = "pavix";
// A portal that is started on demand may take a while; an answer that the user gives in a
// dialog comes through Response, which has no time-out.
constexpr int kCallTimeoutMs = 10000;

// a(sa{sv}) of the shortcuts.
GVariant* ShortcutList(const std::vector<PortalShortcut>& shortcuts) {
    GVariantBuilder list;
    g_variant_builder_init(&list, G_VARIANT_TYPE("a(sa{sv})"));
    for (const PortalShortcut& shortcut : shortcuts) {
        GVariantBuilder properties;
        g_variant_builder_init(&properties, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&properties, "{sv}", "description",
                              g_variant_new_string(shortcut.description.c_str()));
        if (!shortcut.trigger.empty()) {
            g_variant_builder_add(&properties, "{sv}", "preferred_trigger",
                                  g_variant_new_string(shortcut.trigger.c_str()));
        }
        g_variant_builder_add(&list, "(s@a{sv})", shortcut.id.c_str(),
                              g_variant_builder_end(&properties));
    }
    return g_variant_builder_end(&list);
}

// The ids of an answer's "shortcuts".
std::vector<std::string> ShortcutIds(GVariant* results) {
    std::vector<std::string> ids;
    GVariant* shortcuts = g_variant_lookup_value(results, "shortcuts", G_VARIANT_TYPE("a(sa{sv})"));
    if (shortcuts == nullptr) {
        return ids;
    }
    GVariantIter iter;
    g_variant_iter_init(&iter, shortcuts);
    const char* id = nullptr;
    GVariant* properties = nullptr;
    while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, &properties)) {
        ids.emplace_back(id);
        g_variant_unref(properties);
    }
    g_variant_unref(shortcuts);
    return ids;
}

class GioPortal final : public PortalConnection {
  public:
    GioPortal(GDBusConnection* bus, PortalEvents events) : bus_(bus), events_(std::move(events)) {
        activated_ = g_dbus_connection_signal_subscribe(
            bus_, kPortalName, kShortcutsInterface, "Activated", kPortalPath, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, OnActivated, this, nullptr);
    }
    ~GioPortal() override {
        EndRequest();
        g_dbus_connection_signal_unsubscribe(bus_, activated_);
        g_object_unref(bus_);
    }
    GioPortal(const GioPortal&) = delete;
    GioPortal& operator=(const GioPortal&) = delete;

    void CreateSession(const std::vector<PortalShortcut>& shortcuts) override {
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&options, "{sv}", "session_handle_token",
                              g_variant_new_string(kSessionToken));
        if (!shortcuts.empty()) {
            g_variant_builder_add(&options, "{sv}", "shortcuts", ShortcutList(shortcuts));
        }
        Request(Answer::kCreated, "CreateSession", &options,
                [](GVariantBuilder* all) { return g_variant_new("(a{sv})", all); });
    }
    void ListShortcuts(const std::string& session) override {
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        Request(Answer::kListed, "ListShortcuts", &options, [&session](GVariantBuilder* all) {
            return g_variant_new("(oa{sv})", session.c_str(), all);
        });
    }
    void BindShortcuts(const std::string& session,
                       const std::vector<PortalShortcut>& shortcuts) override {
        GVariantBuilder options;
        g_variant_builder_init(&options, G_VARIANT_TYPE_VARDICT);
        GVariant* list = ShortcutList(shortcuts);
        Request(Answer::kBound, "BindShortcuts", &options, [&](GVariantBuilder* all) {
            return g_variant_new("(o@a(sa{sv})sa{sv})", session.c_str(), list, "", all);
        });
    }
    void CloseSession(const std::string& session) override {
        g_dbus_connection_call(bus_, kPortalName, session.c_str(), "org.freedesktop.portal.Session",
                               "Close", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs,
                               nullptr, nullptr, nullptr);
    }

  private:
    enum class Answer { kCreated, kListed, kBound };

    // Calls `method` with a fresh handle_token added to `options`, having subscribed to the
    // Response at the path the portal will give the request, so that no answer slips past.
    template <typename Arguments>
    void Request(Answer answer, const char* method, GVariantBuilder* options, Arguments arguments) {
        EndRequest();
        const std::string token = "pavix" + std::to_string(++requests_);
        g_variant_builder_add(options, "{sv}", "handle_token", g_variant_new_string(token.c_str()));
        std::string sender = g_dbus_connection_get_unique_name(bus_) + 1;  // without ':'
        std::replace(sender.begin(), sender.end(), '.', '_');
        const std::string path = std::string(kPortalPath) + "/request/" + sender + "/" + token;
        answer_ = answer;
        response_ = g_dbus_connection_signal_subscribe(
            bus_, kPortalName, "org.freedesktop.portal.Request", "Response", path.c_str(), nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, OnResponse, this, nullptr);
        cancel_ = g_cancellable_new();
        g_dbus_connection_call(bus_, kPortalName, kPortalPath, kShortcutsInterface, method,
                               arguments(options), G_VARIANT_TYPE("(o)"), G_DBUS_CALL_FLAGS_NONE,
                               kCallTimeoutMs, cancel_, OnCalled, this);
    }
    void EndRequest() {
        if (response_ != 0) {
            g_dbus_connection_signal_unsubscribe(bus_, response_);
            response_ = 0;
        }
        if (cancel_ != nullptr) {
            g_cancellable_cancel(cancel_);
            g_object_unref(cancel_);
            cancel_ = nullptr;
        }
    }
    void Answered(std::uint32_t response, GVariant* results) {
        EndRequest();
        const bool ok = response == 0;
        switch (answer_) {
            case Answer::kCreated: {
                // Typed s by the portals, though the documents say o: either is taken.
                GVariant* handle = ok && results != nullptr
                                       ? g_variant_lookup_value(results, "session_handle", nullptr)
                                       : nullptr;
                const bool named =
                    handle != nullptr && (g_variant_is_of_type(handle, G_VARIANT_TYPE_STRING) ||
                                          g_variant_is_of_type(handle, G_VARIANT_TYPE_OBJECT_PATH));
                events_.created(named, named ? g_variant_get_string(handle, nullptr) : "");
                if (handle != nullptr) {
                    g_variant_unref(handle);
                }
                break;
            }
            case Answer::kListed:
                events_.listed(ok, ok ? ShortcutIds(results) : std::vector<std::string>());
                break;
            case Answer::kBound:
                events_.bound(response, ok ? ShortcutIds(results) : std::vector<std::string>());
                break;
        }
    }

    // A call that failed gets no Response: it is answered as failed here.
    static void OnCalled(GObject* source, GAsyncResult* result, gpointer self) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, &error);
        if (reply != nullptr) {
            g_variant_unref(reply);
            return;
        }
        const bool cancelled = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_CANCELLED);
        g_error_free(error);
        if (!cancelled) {
            static_cast<GioPortal*>(self)->Answered(2, nullptr);
        }
    }
    static void OnResponse(GDBusConnection*, const char*, const char*, const char*, const char*,
                           GVariant* parameters, gpointer self) {
        guint32 response = 2;
        GVariant* results = nullptr;
        g_variant_get(parameters, "(u@a{sv})", &response, &results);
        static_cast<GioPortal*>(self)->Answered(response, results);
        g_variant_unref(results);
    }
    static void OnActivated(GDBusConnection*, const char*, const char*, const char*, const char*,
                            GVariant* parameters, gpointer self) {
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(osta{sv})"))) {
            return;
        }
        const char* session = nullptr;
        const char* id = nullptr;
        g_variant_get(parameters, "(&o&sta{sv})", &session, &id, nullptr, nullptr);
        static_cast<GioPortal*>(self)->events_.activated(session, id);
    }

    GDBusConnection* bus_;
    PortalEvents events_;
    guint activated_ = 0;
    guint response_ = 0;
    GCancellable* cancel_ = nullptr;
    Answer answer_ = Answer::kCreated;
    unsigned requests_ = 0;
};

GDBusConnection* OwnSessionBus(std::string* failure) {
    GError* error = nullptr;
    gchar* address = g_dbus_address_get_for_bus_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    GDBusConnection* bus =
        address == nullptr
            ? nullptr
            : g_dbus_connection_new_for_address_sync(
                  address,
                  static_cast<GDBusConnectionFlags>(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                    G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                  nullptr, nullptr, &error);
    g_free(address);
    if (bus == nullptr) {
        *failure = error != nullptr ? error->message : "no session bus";
        g_clear_error(&error);
        return nullptr;
    }
    g_dbus_connection_set_exit_on_close(bus, FALSE);
    return bus;
}

GVariant* CallSync(GDBusConnection* bus, const char* interface, const char* method,
                   GVariant* parameters, std::string* failure) {
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(bus, kPortalName, kPortalPath, interface, method,
                                                  parameters, nullptr, G_DBUS_CALL_FLAGS_NONE,
                                                  kCallTimeoutMs, nullptr, &error);
    if (reply == nullptr) {
        *failure = error->message;
        g_error_free(error);
    }
    return reply;
}

}  // namespace

std::unique_ptr<PortalConnection> ConnectPortal(const std::string& appId, PortalEvents events,
                                                std::string* failure) {
    GDBusConnection* bus = OwnSessionBus(failure);
    if (bus == nullptr) {
        return nullptr;
    }
    // Before any other portal call; portals older than the registry refuse the call, harmlessly.
    std::string ignored;
    if (GVariant* reply = CallSync(bus, "org.freedesktop.host.portal.Registry", "Register",
                                   g_variant_new("(sa{sv})", appId.c_str(), nullptr), &ignored)) {
        g_variant_unref(reply);
    }
    GVariant* version = CallSync(bus, "org.freedesktop.DBus.Properties", "Get",
                                 g_variant_new("(ss)", kShortcutsInterface, "version"), failure);
    if (version == nullptr) {
        g_object_unref(bus);
        return nullptr;
    }
    g_variant_unref(version);
    return std::make_unique<GioPortal>(bus, std::move(events));
}

}  // namespace pavix
