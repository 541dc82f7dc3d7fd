// Test client for a secure WebSocket server with a certificate of its own making: connects
// without verifying it, sends "hello", prints one line per event.
// Usage: node wss-client.js URL MODE TIMEOUT_MS
//   MODE "client-closes": closes with 1000 "done" after the first message
//   MODE "server-closes": waits for the server's close
const WebSocket = require('ws');

const [url, mode, timeoutText] = process.argv.slice(2);
const timer = setTimeout(() => {
    console.log('timeout');
    process.exit(2);
}, parseInt(timeoutText, 10));

const socket = new WebSocket(url, { rejectUnauthorized: false });
socket.on('open', () => {
    console.log('open');
    socket.send('hello');
});
socket.on('message', (data, isBinary) => {
    console.log(`message ${isBinary ? 'binary' : 'text'} ${data.toString()}`);
    if (mode === 'client-closes')
        socket.close(1000, 'done');
});
socket.on('error', (error) => console.log(`error ${error.message}`));
socket.on('close', (code, reason) => {
    console.log(`close ${code} ${reason.toString()}`);
    clearTimeout(timer);
});
