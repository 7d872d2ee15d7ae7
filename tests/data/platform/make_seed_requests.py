#!/usr/bin/env python3
"""Writes the requests the cable's fuzz targets start from into rapi_requests/: one well-formed
request for each call the device answers (starting programs aside), and a few short sessions.

Run from this folder: python3 make_seed_requests.py
"""
import os
import struct

HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE = 0x80000001, 0x80000002
GENERIC_WRITE, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL = 0x40000000, 2, 0x80
SPI_GETPLATFORMTYPE = 257


def u32(value):
    return struct.pack('<I', value)


def text(value):
    units = value.encode('utf-16-le')
    return u32(len(units) // 2) + units


def data(value):
    return u32(len(value)) + value


def request(call, *fields):
    body = struct.pack('<H', call) + b''.join(fields)
    return u32(len(body)) + body


REG_OPEN = request(1, u32(HKEY_LOCAL_MACHINE), text('Software'))
REG_CREATE = request(2, u32(HKEY_CURRENT_USER), text('Software\\Fuzz'))
REG_QUERY = request(3, u32(1), text('Value'), u32(1), u32(64))
REG_SET = request(4, u32(1), text('Value'), u32(1), data('a\0'.encode('utf-16-le')))
REG_CLOSE = request(5, u32(1))
STORE = request(6)
WINDOW = request(7, u32(0), u32(5))
CLASS_NAME = request(8, u32(0), u32(64))
WINDOW_TEXT = request(9, u32(0), u32(64))
CREATE_FILE = request(10, text('\\Temp\\fuzz.txt'), u32(GENERIC_WRITE), u32(0), u32(CREATE_ALWAYS),
                      u32(FILE_ATTRIBUTE_NORMAL))
READ_FILE = request(11, u32(1), u32(16))
WRITE_FILE = request(12, u32(1), data(b'layout'))
CLOSE_HANDLE = request(13, u32(1))
DELETE_FILE = request(14, text('\\Temp\\fuzz.txt'))
CREATE_DIRECTORY = request(15, text('\\Temp\\Fuzz'))
FIND_FIRST = request(16, text('\\Windows\\*'))
FIND_NEXT = request(17, u32(1))
FIND_CLOSE = request(18, u32(1))
DESCRIBE_WINDOWS = request(20)
SYSTEM_INFO = request(21)
VERSION = request(22, u32(276))
PLATFORM_TYPE = request(23, u32(SPI_GETPLATFORMTYPE), u32(64), u32(0), u32(1))

SEEDS = {
    'reg_open.bin': REG_OPEN,
    'reg_create.bin': REG_CREATE,
    'reg_query.bin': REG_QUERY,
    'reg_set.bin': REG_SET,
    'reg_close.bin': REG_CLOSE,
    'store.bin': STORE,
    'window.bin': WINDOW,
    'class_name.bin': CLASS_NAME,
    'window_text.bin': WINDOW_TEXT,
    'create_file.bin': CREATE_FILE,
    'read_file.bin': READ_FILE,
    'write_file.bin': WRITE_FILE,
    'close_handle.bin': CLOSE_HANDLE,
    'delete_file.bin': DELETE_FILE,
    'create_directory.bin': CREATE_DIRECTORY,
    'find_first.bin': FIND_FIRST,
    'find_next.bin': FIND_NEXT,
    'find_close.bin': FIND_CLOSE,
    'describe_windows.bin': DESCRIBE_WINDOWS,
    'system_info.bin': SYSTEM_INFO,
    'version.bin': VERSION,
    'platform_type.bin': PLATFORM_TYPE,
    'session_file.bin': CREATE_FILE + WRITE_FILE + CLOSE_HANDLE + DELETE_FILE,
    'session_registry.bin': REG_CREATE + REG_SET + REG_QUERY + REG_CLOSE,
    'session_search.bin': FIND_FIRST + FIND_NEXT + FIND_CLOSE,
    'session_identity.bin': SYSTEM_INFO + VERSION + PLATFORM_TYPE,
}

if __name__ == '__main__':
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'rapi_requests')
    os.makedirs(folder, exist_ok=True)
    for name, seed in SEEDS.items():
        with open(os.path.join(folder, name), 'wb') as out:
            out.write(seed)
