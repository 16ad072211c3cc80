/* Scripting descriptors as the filter record carries them: play and record
 * information, the descriptor handle and the read and write procedures. */
#ifndef VEYRA_HOST_PIDESCRIPTOR_H
#define VEYRA_HOST_PIDESCRIPTOR_H

#include "host/PITypes.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef Handle PIDescriptorHandle;
typedef struct PIOpaqueReadDescriptor* PIReadDescriptor;
typedef struct PIOpaqueWriteDescriptor* PIWriteDescriptor;

/* Play info: what the host asks of a played-back step. */
enum { plugInDialogDontDisplay = 0, plugInDialogDisplay = 1, plugInDialogSilent = 2 };
/* Record info: how the recorded step should be replayed. */
enum { plugInDialogOptional = 0, plugInDialogRequired = 1, plugInDialogNone = 2 };

/* Descriptor value types. */
#define typeFloat PI_FOURCC('d', 'o', 'u', 'b')
#define typeInteger PI_FOURCC('l', 'o', 'n', 'g')
#define typeEnumerated PI_FOURCC('e', 'n', 'u', 'm')
#define typeChar PI_FOURCC('T', 'E', 'X', 'T')
#define typeBoolean PI_FOURCC('b', 'o', 'o', 'l')
#define typeNull PI_FOURCC('n', 'u', 'l', 'l')

typedef struct ReadDescriptorProcs {
  int16 readDescriptorProcsVersion;
  int16 numReadDescriptorProcs;
  /* Opens a reader over a descriptor; keyArray lists the keys the plug-in
   * expects, ended by a 0 key. Answers 0 when the descriptor cannot be read. */
  PIReadDescriptor (*openReadDescriptorProc)(PIDescriptorHandle descriptor, DescriptorKeyID* keyArray);
  OSErr (*closeReadDescriptorProc)(PIReadDescriptor token);
  /* Gives the next stored item's key, type and flags; false at the end. */
  Boolean (*getKeyProc)(PIReadDescriptor token, DescriptorKeyID* key, DescriptorTypeID* type, int32* flags);
  OSErr (*getIntegerProc)(PIReadDescriptor token, int32* value);
  OSErr (*getFloatProc)(PIReadDescriptor token, real64* value);
  OSErr (*getBooleanProc)(PIReadDescriptor token, Boolean* value);
  OSErr (*getEnumeratedProc)(PIReadDescriptor token, DescriptorTypeID* type, OSType* value);
  /* The string is length-prefixed: dest[0] is the length, at most 255. */
  OSErr (*getStringProc)(PIReadDescriptor token, unsigned char* dest /* 256 bytes */);
} ReadDescriptorProcs;

typedef struct WriteDescriptorProcs {
  int16 writeDescriptorProcsVersion;
  int16 numWriteDescriptorProcs;
  PIWriteDescriptor (*openWriteDescriptorProc)(void);
  /* Ends writing and answers the new descriptor handle in *descriptor. */
  OSErr (*closeWriteDescriptorProc)(PIWriteDescriptor token, PIDescriptorHandle* descriptor);
  OSErr (*putIntegerProc)(PIWriteDescriptor token, DescriptorKeyID key, int32 value);
  OSErr (*putFloatProc)(PIWriteDescriptor token, DescriptorKeyID key, const real64* value);
  OSErr (*putBooleanProc)(PIWriteDescriptor token, DescriptorKeyID key, Boolean value);
  OSErr (*putEnumeratedProc)(PIWriteDescriptor token, DescriptorKeyID key, DescriptorTypeID type, OSType value);
  /* The string is length-prefixed: source[0] is the length. */
  OSErr (*putStringProc)(PIWriteDescriptor token, DescriptorKeyID key, const unsigned char* source);
} WriteDescriptorProcs;

typedef struct PIDescriptorParameters {
  int16 descriptorParametersVersion;
  int16 playInfo;
  int16 recordInfo;
  PIDescriptorHandle descriptor;
  WriteDescriptorProcs* writeDescriptorProcs;
  ReadDescriptorProcs* readDescriptorProcs;
} PIDescriptorParameters;

#ifdef __cplusplus
}
#endif

#endif
