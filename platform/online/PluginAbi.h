/* The C interface between the program and its driver and device plug-ins.
   A plug-in is a shared object in the install tree's "driver" or "device" folder. It
   exports Plugin_GetInfo and the calls of its kind with C linkage; no C++ type or
   exception crosses this line. A plug-in of another HV_PLUGIN_ABI is not loaded. */
#ifndef HALVORA_PLUGIN_ABI_H
#define HALVORA_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define HV_PLUGIN_ABI 1u

#if defined(__GNUC__)
#define HV_PLUGIN_EXPORT __attribute__((visibility("default")))
#else
#define HV_PLUGIN_EXPORT
#endif

#ifdef __cplusplus
#define HV_NOEXCEPT noexcept
#else
#define HV_NOEXCEPT
#endif

/* Plugin_GetInfo flags. */
#define HV_PLUGIN_HIDDEN 1u /* installed, but not offered in the driver lists */

typedef struct HvPluginInfo {
  uint32_t abi;        /* HV_PLUGIN_ABI */
  uint32_t flags;      /* HV_PLUGIN_* */
  const char* version; /* free text, e.g. "1.0" */
} HvPluginInfo;

/* Error numbers a driver reports through its err arguments. */
#define HV_ERR_NONE 0u
#define HV_ERR_BAD_HANDLE 2u
#define HV_ERR_NO_DRIVER 3u
#define HV_ERR_BAD_PARAMETER 4u
#define HV_ERR_TIMEOUT 5u
#define HV_ERR_REFUSED 6u
#define HV_ERR_BAD_ADDRESS 7u
#define HV_ERR_PENDING 8u      /* no value yet; ask again */
#define HV_ERR_BUFFER 9u       /* the value does not fit the buffer */
#define HV_ERR_BUSY 10u        /* a scan is already running */
#define HV_ERR_CANCELLED 11u
#define HV_ERR_IO 12u
#define HV_ERR_UNSUPPORTED 13u
#define HV_ERR_CONNECTION_LOST 24u /* the device no longer answers */
#define HV_ERR_NOT_FRESH 42u       /* read returned 0, yet the buffer holds a value */

/* ---- every plug-in ---- */
typedef const HvPluginInfo* (*Plugin_GetInfoFn)(void);

/* ---- device plug-ins ("device" folder) ---- */
/* Display name of the device type, or NULL. */
typedef const char* (*Device_GetNameFn)(void);
/* Nonzero when the device type can be reached through the network driver (its title). */
typedef int (*Device_CheckDriverFn)(const char* netDriverTitle);

typedef struct HvDpInfoEx {
  uint32_t size;    /* sizeof(HvDpInfoEx), checked by the plug-in first */
  uint32_t type;    /* out: data-point type code */
  uint32_t access;  /* out: access bits (1 read, 2 write) */
  char* text;       /* out: short description */
  uint32_t textCap; /* capacity of text, terminating zero included */
} HvDpInfoEx;
/* Nonzero when the plug-in knows the address for the device parameter text. */
typedef int (*Device_DataPointInfoExFn)(const char* address, const char* devParam, HvDpInfoEx* info);

/* Optional: brings the PLC configuration of a device folder up to date; nonzero on success. */
typedef int (*Device_UpdatePLCConfigFn)(const char* deviceFolder, const char* devParam);

/* Optional: one line per field "key|label_de|label_en|type|default|min|max|choices",
   type one of int, text, choice, ip, range, host (an address "host" or "host:port" that may
   stay empty); choices separated by ','. A device schema's field "node" checks the node,
   its field "address" is the third ';' field of the device parameter text, the device's
   network address (FTP transfers, the data-point export, Modbus TCP reads). */
typedef const char* (*Device_GetParameterSchemaFn)(void);

typedef struct HvDpEntry {
  uint32_t size;        /* sizeof(HvDpEntry) */
  const char* address;  /* address text as stored in the data point */
  const char* name;     /* proposed name */
  uint32_t type;        /* data-point type code */
  uint32_t access;      /* access bits */
  uint32_t textLen;     /* text length for type 0x100 */
  const char* unit;
} HvDpEntry;
typedef void (*HvDpSink)(void* user, const HvDpEntry* entry);
/* Optional: lists the data points the device offers; returns the count. */
typedef int (*Device_EnumDataPointsFn)(const char* node, const char* devParam, HvDpSink sink, void* user);

/* ---- network drivers ("driver" folder) ---- */
typedef const char* (*Driver_GetNameFn)(void);
typedef const char* (*Driver_GetParameterSchemaFn)(void); /* optional, as above */

typedef struct HvDriverContext HvDriverContext; /* opaque, owned by the driver */

typedef struct HvDataPointDef {
  uint32_t size;          /* sizeof(HvDataPointDef) */
  const char* devDriver;  /* device type or plug-in file title */
  const char* node;
  const char* devParam;
  const char* address;
  uint32_t access;        /* access word (low 16 bits) and picker's word (high 16 bits) */
  uint32_t type;          /* data-point type code */
  uint32_t textLen;       /* text length for type 0x100 */
} HvDataPointDef;

typedef struct HvScanSink {
  void* user;
  /* One device found: its node, its type name and up to five detail lines. */
  void (*device)(void* user, const char* node, const char* type, const char* const* details, uint32_t count);
  /* A progress text such as "Unit 3/247". */
  void (*progress)(void* user, const char* text);
} HvScanSink;
/* The type name of a device that answered but did not say what it is. */
#define HV_SCAN_UNKNOWN_TYPE "?"

/* Opens a connection context for slot and parameter text; NULL with *err on failure.
   Open only checks the texts: no network traffic, so it never waits for a peer. A context
   is used by one thread at a time; no call on it waits longer than the driver's time-out. */
typedef HvDriverContext* (*Driver_OpenFn)(const char* slot, const char* param, uint32_t* err);
typedef void (*Driver_CloseFn)(HvDriverContext* ctx);
/* Resolves a data point; nonzero with *id on success. */
typedef int (*Driver_RegisterFn)(HvDriverContext* ctx, const HvDataPointDef* point, uint32_t* id, uint32_t* err);
typedef void (*Driver_UnregisterFn)(HvDriverContext* ctx, uint32_t id);
/* One read: numbers as the 4-byte database form, texts as bytes. Nonzero when a fresh
   value is in buf; 0 with HV_ERR_NOT_FRESH when buf holds an older one. */
typedef int (*Driver_ReadFn)(HvDriverContext* ctx, uint32_t id, void* buf, uint32_t cap, uint32_t* len, uint32_t* err);
/* Searches the bus, reporting devices (in node order) and progress to the sink; returns
   when done or soon after *cancel turns nonzero (checked at least once per time-out).
   Another thread sets *cancel: read it with an atomic load (__atomic_load_n).
   Nonzero on success. */
typedef int (*Driver_ScanFn)(HvDriverContext* ctx, const HvScanSink* sink, const volatile int* cancel, uint32_t* err);

/* Optional: sends one file to the device behind the connection (a resource file, for
   example). The request is versioned by its size field: later versions only append
   fields, and a driver refuses a size below the fields it reads (HV_ERR_BAD_PARAMETER).
   Nonzero once the device holds the whole file under its name; a device that cannot take
   files answers 0 with HV_ERR_UNSUPPORTED. The progress call, when given, is made now and
   then; answering 0 cancels (HV_ERR_CANCELLED), and a cancelled or failed download leaves
   any older file of that name whole. */
typedef struct HvFileDownload {
  uint32_t size;          /* sizeof(HvFileDownload) */
  const char* devDriver;  /* device type or plug-in file title */
  const char* node;
  const char* devParam;
  const char* localPath;  /* the file to send */
  const char* targetName; /* its name on the device */
  int (*progress)(void* user, uint64_t done, uint64_t total);
  void* user;
} HvFileDownload;
typedef int (*Driver_DownloadFileFn)(HvDriverContext* ctx, const HvFileDownload* file, uint32_t* err);

#ifdef __cplusplus
}
#endif

#endif
