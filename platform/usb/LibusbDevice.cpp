// libusb backend: discovery by descriptor, open and claim of the first interface (alternate setting 0),
// pipes numbered in endpoint order, and the location id built from bus and port path.
#include "LibusbDevice.h"

#include "UsbDiscovery.h"

#include <libusb.h>

#include <limits>

namespace k3100::usb {

class LibusbContext {
public:
    LibusbContext() = default;
    ~LibusbContext() {
        if (context_ != nullptr)
            libusb_exit(context_);
    }
    LibusbContext(const LibusbContext&) = delete;
    LibusbContext& operator=(const LibusbContext&) = delete;

    UsbStatus init() { return fromLibusb(libusb_init(&context_)); }
    libusb_context* get() const { return context_; }

private:
    libusb_context* context_ = nullptr;
};

UsbStatus fromLibusb(int error) {
    switch (error) {
    case LIBUSB_SUCCESS:
        return UsbStatus::Ok;
    case LIBUSB_ERROR_NO_DEVICE:
        return UsbStatus::NoDevice;
    case LIBUSB_ERROR_NOT_FOUND:
        return UsbStatus::NotFound;
    case LIBUSB_ERROR_BUSY:
        return UsbStatus::Busy;
    case LIBUSB_ERROR_IO:
    case LIBUSB_ERROR_OVERFLOW:
        return UsbStatus::IoError;
    case LIBUSB_ERROR_PIPE:
        return UsbStatus::PipeStalled;
    case LIBUSB_ERROR_TIMEOUT:
        return UsbStatus::Timeout;
    case LIBUSB_ERROR_ACCESS:
        return UsbStatus::AccessDenied;
    case LIBUSB_ERROR_INVALID_PARAM:
        return UsbStatus::BadArgument;
    case LIBUSB_ERROR_NO_MEM:
        return UsbStatus::NoMemory;
    default:
        return UsbStatus::Other;
    }
}

namespace {

uint32_t locationOf(libusb_device* device) {
    uint8_t ports[7] = {};
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    uint32_t location = static_cast<uint32_t>(libusb_get_bus_number(device)) << 24;
    for (int i = 0; i < depth && i < 6; ++i)
        location |= static_cast<uint32_t>(ports[i] & 0x0F) << (20 - 4 * i);
    return location;
}

int clampTimeout(uint32_t timeoutMs) {
    // libusb treats 0 as "wait for ever"; a caller asking for 0 ms wants the shortest wait instead.
    if (timeoutMs == 0)
        return 1;
    return timeoutMs > static_cast<uint32_t>(std::numeric_limits<int>::max())
               ? std::numeric_limits<int>::max()
               : static_cast<int>(timeoutMs);
}

} // namespace

LibusbDevice::LibusbDevice(std::shared_ptr<LibusbContext> context, libusb_device* device, uint16_t vendorId,
                           uint16_t productId)
    : context_(std::move(context)), device_(libusb_ref_device(device)), vendorId_(vendorId),
      productId_(productId) {}

LibusbDevice::~LibusbDevice() {
    close();
    libusb_unref_device(device_);
}

UsbStatus LibusbDevice::open() {
    if (handle_ != nullptr)
        return UsbStatus::Ok;
    UsbStatus status = fromLibusb(libusb_open(device_, &handle_));
    if (status != UsbStatus::Ok) {
        handle_ = nullptr;
        return status;
    }
    status = claimFirstInterface();
    if (status != UsbStatus::Ok) {
        close();
        return status;
    }
    locationId_ = locationOf(device_);
    return UsbStatus::Ok;
}

UsbStatus LibusbDevice::claimFirstInterface() {
    libusb_config_descriptor* config = nullptr;
    UsbStatus status = fromLibusb(libusb_get_active_config_descriptor(device_, &config));
    if (status != UsbStatus::Ok)
        return status;
    // A device without an interface cannot carry the protocol: never report it as opened.
    if (config->bNumInterfaces == 0 || config->interface[0].num_altsetting == 0) {
        libusb_free_config_descriptor(config);
        return UsbStatus::NotFound;
    }
    const libusb_interface_descriptor& alt = config->interface[0].altsetting[0];
    interfaceNumber_ = alt.bInterfaceNumber;
    endpoints_.clear();
    for (int i = 0; i < alt.bNumEndpoints; ++i)
        endpoints_.push_back(alt.endpoint[i].bEndpointAddress);
    libusb_free_config_descriptor(config);

    libusb_set_auto_detach_kernel_driver(handle_, 1);
    status = fromLibusb(libusb_claim_interface(handle_, interfaceNumber_));
    if (status != UsbStatus::Ok)
        interfaceNumber_ = -1;
    return status;
}

void LibusbDevice::close() {
    if (handle_ == nullptr)
        return;
    if (interfaceNumber_ >= 0)
        libusb_release_interface(handle_, interfaceNumber_);
    libusb_close(handle_);
    handle_ = nullptr;
    interfaceNumber_ = -1;
    endpoints_.clear();
    locationId_ = 0;
}

int LibusbDevice::endpointOf(uint8_t pipe) const {
    if (pipe == 0 || pipe > endpoints_.size())
        return -1;
    return endpoints_[pipe - 1];
}

UsbStatus LibusbDevice::bulkWrite(uint8_t pipe, std::span<const uint8_t> data, uint32_t timeoutMs) {
    if (handle_ == nullptr)
        return UsbStatus::NoDevice;
    const int endpoint = endpointOf(pipe);
    if (endpoint < 0 || (endpoint & LIBUSB_ENDPOINT_IN) != 0)
        return UsbStatus::NotFound;
    if (data.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return UsbStatus::BadArgument;
    int sent = 0;
    const UsbStatus status = fromLibusb(libusb_bulk_transfer(
        handle_, static_cast<unsigned char>(endpoint), const_cast<unsigned char*>(data.data()),
        static_cast<int>(data.size()), &sent, clampTimeout(timeoutMs)));
    if (status == UsbStatus::Ok && static_cast<size_t>(sent) != data.size())
        return UsbStatus::IoError;
    return status;
}

UsbStatus LibusbDevice::bulkRead(uint8_t pipe, std::span<uint8_t> buffer, size_t& received,
                                 uint32_t timeoutMs) {
    received = 0;
    if (handle_ == nullptr)
        return UsbStatus::NoDevice;
    const int endpoint = endpointOf(pipe);
    if (endpoint < 0 || (endpoint & LIBUSB_ENDPOINT_IN) == 0)
        return UsbStatus::NotFound;
    if (buffer.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return UsbStatus::BadArgument;
    int got = 0;
    const UsbStatus status =
        fromLibusb(libusb_bulk_transfer(handle_, static_cast<unsigned char>(endpoint), buffer.data(),
                                        static_cast<int>(buffer.size()), &got, clampTimeout(timeoutMs)));
    received = static_cast<size_t>(got > 0 ? got : 0);
    return status;
}

UsbStatus LibusbDevice::clearHalt(uint8_t pipe) {
    if (handle_ == nullptr)
        return UsbStatus::NoDevice;
    const int endpoint = endpointOf(pipe);
    if (endpoint < 0)
        return UsbStatus::NotFound;
    // libusb_clear_halt sends CLEAR_FEATURE to the device and resets the host side's data toggle.
    return fromLibusb(libusb_clear_halt(handle_, static_cast<unsigned char>(endpoint)));
}

UsbStatus findLibusbDevices(uint16_t vendorId, uint16_t productId, DeviceList& found) {
    found.clear();
    auto context = std::make_shared<LibusbContext>();
    const UsbStatus initStatus = context->init();
    if (initStatus != UsbStatus::Ok)
        return initStatus;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(context->get(), &list);
    if (count < 0)
        return fromLibusb(static_cast<int>(count));
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device_descriptor desc{};
        if (libusb_get_device_descriptor(list[i], &desc) != LIBUSB_SUCCESS)
            continue;
        if (desc.idVendor == vendorId && desc.idProduct == productId)
            found.push_back(std::make_shared<LibusbDevice>(context, list[i], vendorId, productId));
    }
    libusb_free_device_list(list, 1);
    return UsbStatus::Ok;
}

} // namespace k3100::usb
