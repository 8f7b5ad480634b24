#include "gtk/SingleInstance.h"

#include <gio/gunixsocketaddress.h>

#include <stdexcept>
#include <unistd.h>

namespace tervane {

SingleInstance::SingleInstance()
    : path_(std::string(g_get_user_runtime_dir()) + "/tervane.socket") {}

SingleInstance::~SingleInstance() {
    if (service_) {
        g_socket_service_stop(service_);
        g_socket_listener_close(G_SOCKET_LISTENER(service_));
        g_object_unref(service_);
        unlink(path_.c_str());
    }
}

bool SingleInstance::Forward(const std::string& request) {
    GSocketClient* client = g_socket_client_new();
    GSocketAddress* address = g_unix_socket_address_new(path_.c_str());
    GSocketConnection* connection =
        g_socket_client_connect(client, G_SOCKET_CONNECTABLE(address), nullptr, nullptr);
    g_object_unref(address);
    g_object_unref(client);
    if (!connection)
        return false;
    const std::string line = request + "\n";
    GOutputStream* out = g_io_stream_get_output_stream(G_IO_STREAM(connection));
    const bool sent =
        g_output_stream_write_all(out, line.data(), line.size(), nullptr, nullptr, nullptr);
    g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
    g_object_unref(connection);
    return sent;
}

void SingleInstance::Listen() {
    // A socket left by a program that ended without removing it answers no one.
    unlink(path_.c_str());
    service_ = g_socket_service_new();
    GSocketAddress* address = g_unix_socket_address_new(path_.c_str());
    GError* error = nullptr;
    const gboolean added =
        g_socket_listener_add_address(G_SOCKET_LISTENER(service_), address, G_SOCKET_TYPE_STREAM,
                                      G_SOCKET_PROTOCOL_DEFAULT, nullptr, nullptr, &error);
    g_object_unref(address);
    if (!added) {
        const std::string message = error->message;
        g_error_free(error);
        throw std::runtime_error("Cannot listen on " + path_ + ": " + message);
    }
    g_signal_connect(service_, "incoming", G_CALLBACK(&SingleInstance::OnIncoming), this);
    g_socket_service_start(service_);
}

// The request is one short line; a caller that never sends it is given one second.
gboolean SingleInstance::OnIncoming(GSocketService*, GSocketConnection* connection, GObject*,
                                    gpointer self) {
    auto* instance = static_cast<SingleInstance*>(self);
    g_socket_set_timeout(g_socket_connection_get_socket(connection), 1);
    GInputStream* in = g_io_stream_get_input_stream(G_IO_STREAM(connection));
    char buffer[128];
    std::string request;
    gssize got = 0;
    while (request.find('\n') == std::string::npos &&
           (got = g_input_stream_read(in, buffer, sizeof buffer, nullptr, nullptr)) > 0)
        request.append(buffer, static_cast<std::size_t>(got));
    request = request.substr(0, request.find('\n'));
    if (instance->onRequest && !request.empty())
        instance->onRequest(request);
    return TRUE;
}

} // namespace tervane
