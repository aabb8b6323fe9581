#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the seed corpora under tests/fuzz/corpus: the valid inputs the unit tests use, in the
# framing each fuzz target expects. Run once after changing a target's input format; the
# corpora are checked in so that a fuzz run starts from inputs that reach deep into the parsers.
import hashlib
import os
import random

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def framed(messages):
    out = bytearray()
    for m in messages:
        out += len(m).to_bytes(2, "big") + bytes(m)
    return bytes(out)


def nibble(b):
    return bytes([0xF0, b >> 4, b & 0x0F, 0xF7])


def command(code, payload=b""):
    return [nibble(0xFF), nibble(code)] + [nibble(b) for b in payload]


def reply(code, items):
    out = bytearray([0xF0, code])
    for b in items:
        out += bytes([b >> 4, b & 0x0F])
    out.append(0xF7)
    return bytes(out)


rng = random.Random(7)
table = bytes(rng.randrange(256) for _ in range(128))
record = bytes([90, 0, 1, 0x05, 10, 20, 0x02, 10, 2, 3, 7, 64, 1, 0, 1, 255, 255, 0, 1, 0x0C])
page = bytes(rng.randrange(256) for _ in range(128))

# Reply frames: the first byte picks the machine's state (0 idle, 1 connecting, 2 submitting the
# record, 3 submitting the tables, 4 flashing).
connect = [reply(1, [1, 9])] * 7 + [reply(2, table), reply(3, record), reply(6, [i % 9 for i in range(128)]),
                                    reply(18, range(128))]
write("fuzz_reply_frames", "connect", bytes([1]) + framed(connect))
write("fuzz_reply_frames", "mismatch", bytes([1]) + framed([reply(1, [1, 10])] * 8))
write("fuzz_reply_frames", "submit_record", bytes([2]) + framed([reply(4, [0xFF]), reply(4, [0])]))
write("fuzz_reply_frames", "submit_tables", bytes([3]) + framed([reply(5, [0]), reply(7, []), reply(19, [])]))
write("fuzz_reply_frames", "flash", bytes([4]) + framed([reply(8, []), reply(9, page), reply(9, page[:50]), reply(17, [])]))
write("fuzz_reply_frames", "junk", bytes([0]) + framed([bytes([0x90, 5, 0xF7]), reply(10, table), bytes([0xF0, 1, 0xF7])]))

# Command streams into the simulated device: the first byte switches faults on (bit 0 on, bit 1
# junk frames, bit 2 cut replies, bit 3 refused submits), then one nibble frame per message.
def stream(*commands, faults=0):
    frames = []
    for c in commands:
        frames += c
    return bytes([faults]) + framed(frames)

write("fuzz_sim_commands", "download", stream(command(1), command(2), command(3), command(6), command(18)))
write("fuzz_sim_commands", "submit", stream(command(4, record), command(5, table), command(7, table[:128]),
                                            command(19, bytes(range(128)))))
write("fuzz_sim_commands", "flash", stream(command(8), command(9, bytes([0]) + page), command(17), command(16)))
write("fuzz_sim_commands", "faults", stream(command(5, table), command(1), faults=0x0F))

# .tvk files.
def tvk(rows):
    out = []
    for n, (pc, cc, remap) in enumerate(rows):
        out += ["[%d]" % n, "pc=%s" % pc, "cc=%s" % cc, "pcremap=%s" % remap]
    return ("\r\n".join(out) + "\r\n").encode()

write("fuzz_tvk_file", "start_state", tvk([(0, 8, -1)] * 128))
write("fuzz_tvk_file", "seeded", tvk([(table[n], n % 9, (n * 5) % 130 - 1) for n in range(128)]))
write("fuzz_tvk_file", "hex_values", b"[3]\npc=0x81\ncc=$8\npcremap=0X7F\n[4]\npc=$FF\ncc=abc\n")
write("fuzz_tvk_file", "without_remap", b"; saved before the remap table\n[0]\npc=5\ncc=0\n\n[127]\n PC = 3 \n")

# Full backups: a .tvk file and its [settings], whole, partial or refused.
keys = ["debounceTime", "midiChannel", "omniMode", "muteMask", "muteBeforeDelay", "muteAfterDelay",
        "switchMask", "switchOnTime", "magicFunction", "magicChannel", "magicChange", "magicValue",
        "sendCcInIam", "bankExpander", "doublePressBypass", "bypassProgram", "expressionCC",
        "boundlessBank", "ampRackMode", "lockMask"]
sent_as_is = [90, 2, 1, 5, 5, 6, 128, 10, 2, 1, 6, 127, 1, 0, 1, 127, 255, 1, 0, 3]

def settings(values, names=keys, end="\r\n"):
    return ("[settings]" + end + "".join("%s=%s%s" % (k, v, end) for k, v in zip(names, values))).encode()

# A few rows only: the fuzz runs cut inputs at 4096 bytes, and [settings] comes last.
seeded_tables = tvk([(table[n], n % 9, (n * 5) % 130 - 1) for n in range(12)])
write("fuzz_full_backup", "whole", seeded_tables + settings(sent_as_is))
write("fuzz_full_backup", "tables_only", seeded_tables)
write("fuzz_full_backup", "keys_in_other_case", tvk([(5, 1, 3)] * 4) +
      settings(sent_as_is, [k.upper() for k in keys], "\n"))
write("fuzz_full_backup", "settings_first", settings(sent_as_is) + seeded_tables)
write("fuzz_full_backup", "key_missing", seeded_tables + settings(sent_as_is[:19]))
write("fuzz_full_backup", "magic_without_function", seeded_tables +
      settings([90, 2, 1, 5, 5, 6, 128, 10, 0, 1, 6, 127, 1, 0, 1, 127, 255, 1, 0, 3]))
write("fuzz_full_backup", "out_of_range", seeded_tables + settings([256] + sent_as_is[1:]))

# firmware.txt bodies.
def firmware(pages, crlf=False, lower=False):
    lines = [p.hex().upper() for p in pages]
    digest = hashlib.md5("".join(l + "\r\n" for l in lines).encode()).hexdigest()
    digest = digest if lower else digest.upper()
    end = "\r\n" if crlf else "\n"
    return (end.join(lines + [digest]) + end).encode()

write("fuzz_firmware_image", "one_page", firmware([page]))
write("fuzz_firmware_image", "three_pages", firmware([page, table, bytes(128)]))
write("fuzz_firmware_image", "crlf", firmware([page], crlf=True))
write("fuzz_firmware_image", "lower_digest", firmware([page], lower=True))


def preset_csv(named):
    lines = ["preset,name,loop1,loop2,loop3,loop4,loop5,loop6,loop7,loop8,pc"]
    rng = random.Random(43)
    names = ["Crunch", '"Lead, high"', '"Clean ""Jazz"""']
    for preset in range(1, 129):
        name = names[preset % 3] if named and preset % 9 == 1 else ""
        loops = ",".join(str(rng.randint(0, 1)) for _ in range(8))
        pc = ["none", "", str(rng.randint(1, 128))][preset % 3]
        lines.append("%d,%s,%s,%s" % (preset, name, loops, pc))
    return ("\r\n".join(lines) + "\r\n").encode("utf-8")


write("fuzz_preset_csv", "plain", preset_csv(False))
write("fuzz_preset_csv", "named", preset_csv(True))
write("fuzz_preset_csv", "refused_line", preset_csv(False).replace(b"\r\n7,", b"\r\n7,x,2,"))
