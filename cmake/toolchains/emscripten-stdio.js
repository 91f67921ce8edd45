// SPDX-FileCopyrightText: Cepomer developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Standard input, output and error of a program run by Node, as the bytes of
// file descriptors 0, 1 and 2, and nothing else of a file system (the
// programs link with -sFILESYSTEM=0).
//
// Emscripten's own streams decode input as UTF-8 in chunks (a character cut
// by a chunk's end is lost) and write output line by line through
// console.log, re-encoding it; a program that speaks a byte protocol on a
// pipe needs the bytes as they are, each read returning as soon as some input
// is there. Elsewhere than in Node there is no input, and output goes to the
// console a line at a time.
mergeInto(LibraryManager.library, {
    $cepomerStdio: {
        isNode: function() {
#if ENVIRONMENT_MAY_BE_NODE
            return ENVIRONMENT_IS_NODE;
#else
            return false;
#endif
        },
        pending: [null, [], []], // the console fallback's unfinished lines
        // A pipe left non-blocking by another process answers EAGAIN: wait a
        // little and try again, as a blocking descriptor would have.
        retry: function(call) {
            for (;;) {
                try {
                    return call();
                } catch (e) {
                    if (e.code !== 'EAGAIN') throw e;
                    Atomics.wait(new Int32Array(new SharedArrayBuffer(4)), 0, 0, 5);
                }
            }
        },
        errno: function(e) {
            if (e.code === 'EPIPE') return {{{ cDefine('EPIPE') }}};
            if (e.code === 'EBADF') return {{{ cDefine('EBADF') }}};
            return {{{ cDefine('EIO') }}};
        },
        toConsole: function(fd, bytes) {
            var line = cepomerStdio.pending[fd];
            for (var i = 0; i < bytes.length; i++) {
                if (bytes[i] === {{{ charCode('\n') }}}) {
                    (fd === 1 ? out : err)(UTF8ArrayToString(line, 0, line.length));
                    line.length = 0;
                } else {
                    line.push(bytes[i]);
                }
            }
        },
    },

    fd_write__deps: ['$cepomerStdio'],
    fd_write__postset: function() {}, // nothing held back to flush at exit
    fd_write__sig: 'iiiii',
    fd_write: function(fd, iov, iovcnt, pnum) {
        if (fd !== 1 && fd !== 2) return {{{ cDefine('EBADF') }}};
        var total = 0;
        for (var i = 0; i < iovcnt; i++) {
            var ptr = HEAPU32[(iov + i * 8) >> 2];
            var len = HEAPU32[(iov + i * 8 + 4) >> 2];
            var bytes = HEAPU8.subarray(ptr, ptr + len);
            if (!cepomerStdio.isNode()) {
                cepomerStdio.toConsole(fd, bytes);
                total += len;
                continue;
            }
            var done = 0;
            try {
                while (done < len) {
                    done += cepomerStdio.retry(function() {
                        return require('fs').writeSync(fd, bytes, done, len - done);
                    });
                }
            } catch (e) {
                if (total + done === 0) return cepomerStdio.errno(e);
                total += done;
                break;
            }
            total += len;
        }
        HEAPU32[pnum >> 2] = total;
        return 0;
    },

    // Reads into the first buffer with room, blocking until some input is
    // there: a short read, as a pipe gives, so that a command is answered as
    // soon as its line arrives.
    fd_read__deps: ['$cepomerStdio'],
    fd_read__sig: 'iiiii',
    fd_read: function(fd, iov, iovcnt, pnum) {
        if (fd !== 0) return {{{ cDefine('EBADF') }}};
        var got = 0;
        for (var i = 0; i < iovcnt; i++) {
            var ptr = HEAPU32[(iov + i * 8) >> 2];
            var len = HEAPU32[(iov + i * 8 + 4) >> 2];
            if (len === 0) continue;
            if (cepomerStdio.isNode()) {
                try {
                    got = cepomerStdio.retry(function() {
                        return require('fs').readSync(0, HEAPU8, ptr, len, null);
                    });
                } catch (e) {
                    if (e.code !== 'EOF') return cepomerStdio.errno(e);
                }
            }
            break;
        }
        HEAPU32[pnum >> 2] = got;
        return 0;
    },

    fd_close__sig: 'ii',
    fd_close: function(fd) {
        return fd >= 0 && fd <= 2 ? 0 : {{{ cDefine('EBADF') }}};
    },

    fd_seek: function(fd) {
        return fd >= 0 && fd <= 2 ? {{{ cDefine('ESPIPE') }}} : {{{ cDefine('EBADF') }}};
    },

    fd_fdstat_get__deps: ['$cepomerStdio'],
    fd_fdstat_get__sig: 'iii',
    fd_fdstat_get: function(fd, pbuf) {
        if (fd < 0 || fd > 2) return {{{ cDefine('EBADF') }}};
        var tty = cepomerStdio.isNode() ? require('tty').isatty(fd) : fd !== 0;
        // A pipe or a file: of unknown type (0) to WASI, which has no pipes.
        var type = tty ? {{{ cDefine('__WASI_FILETYPE_CHARACTER_DEVICE') }}} : 0;
        {{{ makeSetValue('pbuf', C_STRUCTS.__wasi_fdstat_t.fs_filetype, 'type', 'i8') }}};
        return 0;
    },

    // The C library's test for a terminal: stdout is line-buffered on one and
    // fully buffered otherwise, as natively.
    __syscall_ioctl__deps: ['$cepomerStdio'],
    __syscall_ioctl: function(fd, op, varargs) {
        if (fd < 0 || fd > 2) return -{{{ cDefine('EBADF') }}};
        if (op !== {{{ cDefine('TIOCGWINSZ') }}}) return -{{{ cDefine('EINVAL') }}};
        if (!cepomerStdio.isNode()) return 0;
        return require('tty').isatty(fd) ? 0 : -{{{ cDefine('ENOTTY') }}};
    },
});
