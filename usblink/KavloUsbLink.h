/* KavloUsbLink: bulk messages in USB Test and Measurement Class framing, and control requests,
 * to the first QM1000 instrument attached over USB.
 *
 * A call finds the instrument and opens it when it is not open yet. A failed call closes it, so
 * that the next one starts afresh. A call that succeeded closes it too, except where opening
 * takes the interface from a kernel driver (the libusb build): there it stays open until a call
 * fails or the library is unloaded. Results are one-byte booleans, 1 for success. Buffers belong
 * to the caller; the library keeps no pointer after a call returns. One caller thread only. */
#ifndef KAVLOUSBLINK_H
#define KAVLOUSBLINK_H

#include <stdint.h>

#if defined(_WIN32)
#define KAVLO_CALL __stdcall
#define KAVLO_API
#else
#define KAVLO_CALL
#define KAVLO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef uint8_t KavloBool;

/* Reads a reply that a WriteUSB with message ID 2 asked for. Stores the announced payload
 * length through `length` and writes that many bytes to `destination`, which must be large
 * enough: prefer ReadUSBBounded. */
KAVLO_API KavloBool KAVLO_CALL ReadUSB(uint32_t* length, uint8_t* destination);

/* Writes the 12-byte bulk-out header for `messageId` and `tag`, then `transferSize` bytes of
 * `data` in chunks of at most 4096 bytes. Message ID 2 asks the instrument for a reply of up to
 * 64 bytes, whatever `transferSize` says. */
KAVLO_API KavloBool KAVLO_CALL WriteUSB(uint8_t messageId, uint8_t tag, uint32_t transferSize,
                                        const uint8_t* data);

/* Class requests without and with a data stage; selector 1 addresses the interface, any other
 * value an endpoint. */
KAVLO_API KavloBool KAVLO_CALL Class_Request_Write(uint8_t request, uint16_t value, uint16_t index,
                                                   uint16_t length, uint8_t selector);
KAVLO_API KavloBool KAVLO_CALL Class_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                                  uint16_t length, uint8_t* destination,
                                                  uint8_t selector);

/* Vendor requests to the device; a read writes at most `length` bytes to `destination`. */
KAVLO_API KavloBool KAVLO_CALL Vendor_Request_Write(uint8_t request, uint16_t value, uint16_t index,
                                                    uint16_t length);
KAVLO_API KavloBool KAVLO_CALL Vendor_Request_Read(uint8_t request, uint16_t value, uint16_t index,
                                                   uint16_t length, uint8_t* destination);

/* Kept for old callers; does nothing and always fails. */
KAVLO_API KavloBool KAVLO_CALL USB_Clear_Feature(uint32_t a, uint32_t b, uint32_t c, uint32_t d);

/* As ReadUSB, but never writes more than `capacity` bytes and succeeds only with the whole
 * reply. A reply announcing more fails without writing anything to `destination`: it is read
 * and dropped, so that the next reply starts clean, and its announced length is stored through
 * `length`. A reply that ends before its announced length fails too. */
KAVLO_API KavloBool KAVLO_CALL ReadUSBBounded(uint32_t* length, uint8_t* destination,
                                              uint32_t capacity);

/* Why the last call could not find or open the instrument, as one line of text: "no instrument
 * found", "permission denied: /dev/bus/usb/001/004"; empty when the last call found it open or
 * opened it. Writes at most `capacity` bytes to `text`, the terminating zero included (a longer
 * text is cut), and returns the length of the whole text. */
KAVLO_API uint32_t KAVLO_CALL USBOpenProblem(char* text, uint32_t capacity);

typedef KavloBool(KAVLO_CALL* ReadUSBProc)(uint32_t*, uint8_t*);
typedef KavloBool(KAVLO_CALL* WriteUSBProc)(uint8_t, uint8_t, uint32_t, const uint8_t*);
typedef KavloBool(KAVLO_CALL* ReadUSBBoundedProc)(uint32_t*, uint8_t*, uint32_t);
typedef KavloBool(KAVLO_CALL* VendorRequestReadProc)(uint8_t, uint16_t, uint16_t, uint16_t,
                                                     uint8_t*);
typedef uint32_t(KAVLO_CALL* USBOpenProblemProc)(char*, uint32_t);

#ifdef __cplusplus
}
#endif

#endif
